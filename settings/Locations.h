// Where the program keeps its files: the profile (with the default result
// files beside it) and the help page.
//
// The profile is Kavoren.ini beside the program whenever one is already
// there, or the program's folder is the user's to write (a copied, portable
// program: the Windows habit). An installed copy (bin/ beside
// share/applications/ with the program's desktop entry, as the package and
// `cmake --install` lay it out; on Windows the folder the installer made,
// with its uninstaller), or a program in a folder the user cannot write,
// keeps it in the user's configuration folder instead:
// $XDG_CONFIG_HOME/tirelma (default ~/.config/tirelma) on Linux,
// %APPDATA%\Tirelma on Windows.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace settings {

inline constexpr std::u16string_view kProfileName = u"Kavoren.ini";

// The desktop entry an installed copy has in share/applications/.
inline constexpr std::string_view kDesktopEntry = "org.tirelma.Tirelma.desktop";

// The uninstaller that the Windows installer puts beside the program
// (dist/windows/tirelma.nsi).
inline constexpr std::string_view kUninstaller = "uninstall.exe";

// What the program's folder tells about where the profile belongs.
struct ProgramFolderFacts {
    bool hasProfile = false; // Kavoren.ini is already there
    bool installed = false;  // the folder is that of an installed copy
    bool writable = false;   // the user may create files there
};

// Whether the profile lives beside the program (otherwise in the user's
// configuration folder).
bool ProfileBesideProgram(const ProgramFolderFacts& facts);

// The user's configuration folder for the profile on Linux:
// $XDG_CONFIG_HOME/tirelma, or $HOME/.config/tirelma when XDG_CONFIG_HOME is
// unset, empty or relative (which the XDG rules say to ignore). Nothing when
// neither gives an absolute folder.
std::optional<std::filesystem::path> XdgProfileFolder(std::string_view xdgConfigHome,
                                                      std::string_view home);

// The same on Windows: %APPDATA%\Tirelma.
std::optional<std::filesystem::path> AppDataProfileFolder(std::u16string_view appData);

// What the decision asks of the file system.
struct LocationQueries {
    std::function<bool(const std::filesystem::path&)> exists;   // a file is there
    std::function<bool(const std::filesystem::path&)> writable; // a folder the user may write
};

// The profile's folder for a program in programDir; userFolder is the user's
// configuration folder, if the system names one (without it the profile stays
// beside the program).
std::filesystem::path ChooseProfileFolder(const std::filesystem::path& programDir,
                                          const std::optional<std::filesystem::path>& userFolder,
                                          const LocationQueries& queries);

// The profile's folder of this program, decided once per process from the
// program's folder and the environment. The folder need not exist yet.
std::filesystem::path ProfileFolder();

// Creates the profile's folder when it is missing (a first start in the
// configuration folder); false when it cannot be created.
bool EnsureProfileFolder();

// The help page for a program in programDir: help.html beside it, else the
// one an installed copy has in share/doc/tirelma/; beside the program when
// neither is there.
std::filesystem::path FindHelpPage(const std::filesystem::path& programDir,
                                   const std::function<bool(const std::filesystem::path&)>& exists);

// The help page of this program.
std::filesystem::path HelpPage();

// The operating system's part: the user's configuration folder for the
// profile, and whether the user may create files in a folder.
std::optional<std::filesystem::path> UserProfileFolder();
bool FolderWritable(const std::filesystem::path& folder);

} // namespace settings
