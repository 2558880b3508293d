#include "Locations.h"

#include "FileIo.h"

#include <system_error>

namespace settings {

namespace {

bool IsFile(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

} // namespace

bool ProfileBesideProgram(const ProgramFolderFacts& facts) {
    if (facts.hasProfile) return true;
    if (facts.installed) return false;
    return facts.writable;
}

std::optional<std::filesystem::path> XdgProfileFolder(std::string_view xdgConfigHome,
                                                      std::string_view home) {
    const std::filesystem::path xdg{std::string(xdgConfigHome)};
    if (!xdgConfigHome.empty() && xdg.is_absolute()) return xdg / "tirelma";
    const std::filesystem::path h{std::string(home)};
    if (!home.empty() && h.is_absolute()) return h / ".config" / "tirelma";
    return std::nullopt;
}

std::optional<std::filesystem::path> AppDataProfileFolder(std::u16string_view appData) {
    if (appData.empty()) return std::nullopt;
    return PathFromText(appData) / "Tirelma";
}

std::filesystem::path ChooseProfileFolder(const std::filesystem::path& programDir,
                                          const std::optional<std::filesystem::path>& userFolder,
                                          const LocationQueries& queries) {
    if (!userFolder) return programDir;
    ProgramFolderFacts facts;
    facts.hasProfile = queries.exists(programDir / PathFromText(kProfileName));
    if (!facts.hasProfile) {
        facts.installed = queries.exists(programDir.parent_path() / "share" / "applications" /
                                         std::string(kDesktopEntry)) ||
                          queries.exists(programDir / std::string(kUninstaller));
        facts.writable = !facts.installed && queries.writable(programDir);
    }
    return ProfileBesideProgram(facts) ? programDir : *userFolder;
}

std::filesystem::path ProfileFolder() {
    static const std::filesystem::path folder =
        ChooseProfileFolder(ExecutableDir(), UserProfileFolder(), {IsFile, FolderWritable});
    return folder;
}

bool EnsureProfileFolder() {
    std::error_code ec;
    const auto folder = ProfileFolder();
    if (std::filesystem::is_directory(folder, ec)) return true;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

std::filesystem::path
FindHelpPage(const std::filesystem::path& programDir,
             const std::function<bool(const std::filesystem::path&)>& exists) {
    auto beside = programDir / "help.html";
    if (exists(beside)) return beside;
    auto installed = programDir.parent_path() / "share" / "doc" / "tirelma" / "help.html";
    if (exists(installed)) return installed;
    return beside;
}

std::filesystem::path HelpPage() {
    return FindHelpPage(ExecutableDir(), IsFile);
}

} // namespace settings
