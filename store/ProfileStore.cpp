#include "ProfileStore.h"

#include "Locations.h"

namespace store {

ProfileStore::ProfileStore(std::filesystem::path path) : file_(std::move(path)) {}

std::filesystem::path ProfileStore::DefaultPath() {
    return settings::ProfileFolder() / "Kavoren.ini";
}

std::u16string ProfileStore::IniRead(std::u16string_view section, std::u16string_view key) {
    return file_.read(section, key);
}

bool ProfileStore::IniHasSection(std::u16string_view section) {
    return file_.hasSection(section);
}

std::int32_t ProfileStore::IniWrite(std::u16string_view section, std::u16string_view key,
                                    std::u16string_view value) {
    const auto status = file_.write(section, key, value);
    if (status == settings::WriteStatus::Ok) return 1;
    refused(status, {std::u16string(section), std::u16string(key), std::u16string(value)});
    return 0;
}

std::int32_t ProfileStore::IniWriteAll(const std::vector<settings::KeyWrite>& writes) {
    const auto refusal = IniWriteAllOrRefusal(writes);
    if (!refusal) return 1;
    if (!writes.empty() && failureHandler_) failureHandler_(*refusal);
    return 0;
}

std::optional<WriteFailure>
ProfileStore::IniWriteAllOrRefusal(const std::vector<settings::KeyWrite>& writes) {
    std::size_t index = 0;
    const auto status = file_.writeAll(writes, &index);
    if (status == settings::WriteStatus::Ok) return std::nullopt;
    // The write at fault, or the first one when the file itself refused.
    const settings::KeyWrite w = index < writes.size() ? writes[index] : settings::KeyWrite{};
    return WriteFailure{status, w.section, w.key, w.value};
}

void ProfileStore::refused(settings::WriteStatus status, const settings::KeyWrite& write) {
    if (failureHandler_)
        failureHandler_(WriteFailure{status, write.section, write.key, write.value});
}

std::u16string ProfileStore::IniDir() const {
    std::u16string dir = settings::TextFromPath(path().parent_path());
#ifdef _WIN32
    constexpr char16_t kSeparator = u'\\';
#else
    constexpr char16_t kSeparator = u'/';
#endif
    const auto isSeparator = [](char16_t c) { return c == u'\\' || c == u'/'; };
    while (dir.size() > 1 && isSeparator(dir.back()))
        dir.pop_back();
    if (dir.empty() || !isSeparator(dir.back())) dir.push_back(kSeparator);
    return dir;
}

profile::Reader ProfileStore::reader() {
    return [this](std::u16string_view s, std::u16string_view k) { return IniRead(s, k); };
}

profile::Source ProfileStore::source() {
    return {reader(), [this](std::u16string_view s) { return IniHasSection(s); },
            [this] { return file_.version(); }};
}

} // namespace store
