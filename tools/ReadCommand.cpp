#include "ReadCommand.h"

#include "AnswerText.h"
#include "AreaReader.h"
#include "Blanks.h"
#include "ChrTemp.h"
#include "FUMIni.h"
#include "FileIo.h"
#include "ProfileLayout.h"
#include "TextCodec.h"
#include "modPub.h"

#include <filesystem>

namespace tools {

namespace {

std::string Utf8(std::u16string_view s) {
    return settings::Utf16ToUtf8(s).value_or("?");
}

} // namespace

std::optional<ReadOptions> ParseArguments(const std::vector<std::string>& args,
                                          std::string& error) {
    ReadOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--profile" || a == "--area") {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return std::nullopt;
            }
            if (a == "--profile")
                o.profile = args[++i];
            else
                o.area = args[++i];
        } else if (a == "--snap") {
            o.snap = true;
        } else if (a == "--") {
            o.images.insert(o.images.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        } else if (a.starts_with("--")) {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            o.images.push_back(a);
        }
    }
    if (o.images.empty()) {
        error = "no image given";
        return std::nullopt;
    }
    return o;
}

int RunRead(const ReadOptions& options,
            const std::function<std::optional<engine::AreaImage>(const std::string&)>& loadImage,
            std::ostream& out, std::ostream& err) {
    if (!options.profile.empty()) {
        const std::filesystem::path p = std::filesystem::absolute(options.profile);
        FUMIni::SetIniDir(settings::TextFromPath(p.parent_path()));
        modPub::IniName = settings::TextFromPath(p.filename());
    } else {
        modPub::IniName = u"Kavoren.ini";
    }
    const auto profilePath = FUMIni::ProfilePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(profilePath, ec)) {
        err << "tirelma-read: no profile file " << profilePath.string() << "\n";
        return kNoProfile;
    }

    const std::u16string area = options.area ? settings::Utf8ToUtf16(*options.area)
                                             : FUMIni::IniRead(profile::kEndData, profile::kArea);
    if (area.empty()) {
        err << "tirelma-read: no area is current in " << profilePath.string()
            << " (give one with --area)\n";
        return kNoArea;
    }
    const std::u16string section = profile::AreaSection(area);
    if (!FUMIni::IniHasSection(section)) {
        err << "tirelma-read: no area \"" << Utf8(area) << "\" in " << profilePath.string() << "\n";
        return kNoArea;
    }
    const double groupValue = FUMIni::NumberValue(FUMIni::IniRead(section, profile::kChrGrop));
    const auto group = FUMIni::RoundToInt32(groupValue);
    if (!group) {
        err << "tirelma-read: area \"" << Utf8(area) << "\" names no usable character group\n";
        return kNoCharacters;
    }
    const auto loaded = modTemp::LoadChrTempList(*group);
    for (const auto& s : loaded.skipped)
        err << "tirelma-read: warning: character \"" << Utf8(s.name) << "\" of group " << *group
            << " skipped: " << s.reason << "\n";
    if (loaded.templates.empty()) {
        err << "tirelma-read: character group " << *group << " of area \"" << Utf8(area)
            << "\" has no characters\n";
        return kNoCharacters;
    }
    const std::u16string kugiri = FUMIni::IniRead(section, profile::kKugiri);
    const double step = FUMIni::NumberValue(FUMIni::IniRead(profile::kEndData, profile::kKizami));

    int result = kOk;
    for (const auto& file : options.images) {
        const auto image = loadImage(file);
        if (!image) {
            err << "tirelma-read: cannot read image " << file << "\n";
            result = kBadImage;
            continue;
        }
        std::u16string answer =
            engine::ReadAnswer(*image, loaded.templates, engine::AreaBlankRule(section));
        if (options.snap) answer = engine::SnapToStep(answer, kugiri, step);
        out << Utf8(answer) << "\n";
    }
    return result;
}

} // namespace tools
