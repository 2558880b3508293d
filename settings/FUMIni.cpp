#include "FUMIni.h"

#include "FileIo.h"
#include "Locations.h"
#include "ProfileFile.h"
#include "modPub.h"

#include <cmath>
#include <memory>

namespace FUMIni {

namespace {

std::u16string g_iniDirOverride;
std::function<void(const WriteFailure&)> g_failureHandler;
std::unique_ptr<settings::ProfileFile> g_file;

#ifdef _WIN32
constexpr char16_t kSeparator = u'\\';
#else
constexpr char16_t kSeparator = u'/';
#endif

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

settings::ProfileFile& File() {
    const auto path = ProfilePath();
    if (!g_file || g_file->path() != path) g_file = std::make_unique<settings::ProfileFile>(path);
    return *g_file;
}

} // namespace

std::u16string IniDir() {
    std::u16string dir = g_iniDirOverride.empty()
                             ? settings::TextFromPath(settings::ProfileFolder())
                             : g_iniDirOverride;
    while (dir.size() > 1 && IsSeparator(dir.back()))
        dir.pop_back();
    if (dir.empty() || !IsSeparator(dir.back())) dir.push_back(kSeparator);
    return dir;
}

void SetIniDir(std::u16string dir) {
    g_iniDirOverride = std::move(dir);
}

std::filesystem::path ProfilePath() {
    std::u16string_view name = modPub::IniName;
    while (!name.empty() && IsSeparator(name.front()))
        name.remove_prefix(1);
    return settings::PathFromText(IniDir()) / settings::PathFromText(name);
}

void SetWriteFailureHandler(std::function<void(const WriteFailure&)> handler) {
    g_failureHandler = std::move(handler);
}

std::u16string IniRead(std::u16string_view section, std::u16string_view key) {
    return File().read(section, key);
}

bool IniHasSection(std::u16string_view section) {
    return File().hasSection(section);
}

profile::Source ProfileSource() {
    return {[](std::u16string_view s, std::u16string_view k) { return IniRead(s, k); },
            [](std::u16string_view s) { return IniHasSection(s); }};
}

std::int32_t IniWrite(std::u16string_view section, std::u16string_view key,
                      std::u16string_view value) {
    const auto status = File().write(section, key, value);
    if (status == settings::WriteStatus::Ok) return 1;
    if (g_failureHandler)
        g_failureHandler(WriteFailure{status, std::u16string(section), std::u16string(key),
                                      std::u16string(value)});
    return 0;
}

std::int32_t IniWriteAll(const std::vector<settings::KeyWrite>& writes) {
    std::size_t refused = 0;
    const auto status = File().writeAll(writes, &refused);
    if (status == settings::WriteStatus::Ok) return 1;
    if (g_failureHandler && refused < writes.size()) {
        const settings::KeyWrite& w = writes[refused];
        g_failureHandler(WriteFailure{status, w.section, w.key, w.value});
    }
    return 0;
}

bool FormPosSave(std::u16string_view caption, const FormPlacement& p) {
    const std::u16string section = SpaceCut(caption);
    bool ok = true;
    ok = IniWrite(section, u"Top", SingleText(static_cast<float>(p.Top))) && ok;
    ok = IniWrite(section, u"Left", SingleText(static_cast<float>(p.Left))) && ok;
    ok = IniWrite(section, u"Height", SingleText(static_cast<float>(p.Height))) && ok;
    ok = IniWrite(section, u"Width", SingleText(static_cast<float>(p.Width))) && ok;
    return ok;
}

FormPlacement FormPosLoad(std::u16string_view caption, const FormPlacement& design,
                          bool resizable) {
    const std::u16string section = SpaceCut(caption);
    FormPlacement p = design;
    auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
    p.Top = finite(NumberValue(IniRead(section, u"Top")));
    p.Left = finite(NumberValue(IniRead(section, u"Left")));
    if (resizable) {
        const double h = NumberValue(IniRead(section, u"Height"));
        const double w = NumberValue(IniRead(section, u"Width"));
        if (std::isfinite(h) && h > 0) p.Height = h;
        if (std::isfinite(w) && w > 0) p.Width = w;
    }
    return p;
}

} // namespace FUMIni
