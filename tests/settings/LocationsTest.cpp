#include "Locations.h"

#include "FileIo.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using settings::ChooseProfileFolder;
using std::filesystem::path;

// A file system of named files and writable folders.
struct FakeDisk {
    std::set<path> files, writableFolders;
    void file(const path& p) { files.insert(p.lexically_normal()); }
    void writable(const path& p) { writableFolders.insert(p.lexically_normal()); }
    settings::LocationQueries queries() {
        return {[this](const path& p) { return files.count(p.lexically_normal()) > 0; },
                [this](const path& p) { return writableFolders.count(p.lexically_normal()) > 0; }};
    }
};

const path kBin = path("/opt/x/bin");
const path kUser = path("/home/u/.config/tirelma");

TEST(ProfileLocation, PortableCopiesKeepTheProfileBesideTheProgram) {
    FakeDisk disk;
    disk.writable(kBin);
    EXPECT_EQ(ChooseProfileFolder(kBin, kUser, disk.queries()), kBin);

    // A profile already there wins even where the user cannot write, and
    // even in an installed layout.
    FakeDisk readOnly;
    readOnly.file(kBin / "Kavoren.ini");
    readOnly.file("/opt/x/share/applications/org.tirelma.Tirelma.desktop");
    EXPECT_EQ(ChooseProfileFolder(kBin, kUser, readOnly.queries()), kBin);
}

TEST(ProfileLocation, InstalledOrUnwritableCopiesUseTheUsersFolder) {
    FakeDisk systemFolder; // /usr/bin as an ordinary user sees it
    EXPECT_EQ(ChooseProfileFolder(kBin, kUser, systemFolder.queries()), kUser);

    // An installed layout is recognised even where the folder is writable
    // (root, or a package unpacked into a folder of one's own).
    FakeDisk installed;
    installed.writable(kBin);
    installed.file("/opt/x/share/applications/org.tirelma.Tirelma.desktop");
    EXPECT_EQ(ChooseProfileFolder(kBin, kUser, installed.queries()), kUser);

    // Another program's desktop entry says nothing.
    FakeDisk other;
    other.writable(kBin);
    other.file("/opt/x/share/applications/other.desktop");
    EXPECT_EQ(ChooseProfileFolder(kBin, kUser, other.queries()), kBin);

    // Without a user folder (no home at all) the program's folder is all there is.
    EXPECT_EQ(ChooseProfileFolder(kBin, std::nullopt, systemFolder.queries()), kBin);
}

TEST(ProfileLocation, TheWindowsInstallersFolderUsesAppData) {
    // %LOCALAPPDATA%\Programs\Tirelma is the user's to write, like an
    // unpacked zip; its uninstaller tells it apart.
    const path programs = path("/users/u/AppData/Local/Programs/Tirelma");
    const path appData = path("/users/u/AppData/Roaming/Tirelma");
    FakeDisk installed;
    installed.writable(programs);
    installed.file(programs / "uninstall.exe");
    EXPECT_EQ(ChooseProfileFolder(programs, appData, installed.queries()), appData);

    // A profile the user put beside the installed program still wins.
    installed.file(programs / "Kavoren.ini");
    EXPECT_EQ(ChooseProfileFolder(programs, appData, installed.queries()), programs);

    // An uninstaller one folder up says nothing about this one.
    FakeDisk unzipped;
    unzipped.writable(programs);
    unzipped.file(programs.parent_path() / "uninstall.exe");
    EXPECT_EQ(ChooseProfileFolder(programs, appData, unzipped.queries()), programs);
}

TEST(ProfileLocation, FollowsTheXdgRules) {
    if (!path("/cfg").is_absolute()) GTEST_SKIP() << "POSIX paths only";
    using settings::XdgProfileFolder;
    EXPECT_EQ(XdgProfileFolder("/cfg", "/home/u"), path("/cfg/tirelma"));
    EXPECT_EQ(XdgProfileFolder("", "/home/u"), path("/home/u/.config/tirelma"));
    // A relative XDG_CONFIG_HOME is to be ignored.
    EXPECT_EQ(XdgProfileFolder("cfg", "/home/u"), path("/home/u/.config/tirelma"));
    EXPECT_EQ(XdgProfileFolder("", ""), std::nullopt);
    EXPECT_EQ(XdgProfileFolder("", "relative"), std::nullopt);
}

TEST(ProfileLocation, AppDataFolderOnWindows) {
    EXPECT_EQ(settings::AppDataProfileFolder(u""), std::nullopt);
    const auto folder =
        settings::AppDataProfileFolder(u"C:\\Users\\\u5c71\u7530\\AppData\\Roaming");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->filename(), path("Tirelma"));
    EXPECT_EQ(settings::TextFromPath(folder->parent_path()),
              u"C:\\Users\\\u5c71\u7530\\AppData\\Roaming");
}

TEST(ProfileLocation, RealFoldersAreSeenAsTheyAre) {
    testfiles::TempDir dir;
    const path bin = dir.path() / "bin";
    std::filesystem::create_directories(bin);
    EXPECT_TRUE(settings::FolderWritable(bin));
    EXPECT_FALSE(settings::FolderWritable(dir.path() / "missing"));
    const path user = dir.path() / "home" / "tirelma";
    const settings::LocationQueries real{
        [](const path& p) { return std::filesystem::is_regular_file(p); },
        settings::FolderWritable};
    EXPECT_EQ(ChooseProfileFolder(bin, user, real), bin);
    std::filesystem::create_directories(dir.path() / "share" / "applications");
    testfiles::Spit(dir.path() / "share" / "applications" / "org.tirelma.Tirelma.desktop",
                    "[Desktop Entry]\n");
    EXPECT_EQ(ChooseProfileFolder(bin, user, real), user);
    // The probe leaves nothing behind.
    EXPECT_TRUE(std::filesystem::is_empty(bin));
}

TEST(HelpPage, BesideTheProgramOrInTheInstalledDocFolder) {
    FakeDisk files;
    const auto exists = files.queries().exists;
    EXPECT_EQ(settings::FindHelpPage(kBin, exists), kBin / "help.html");
    files.file("/opt/x/share/doc/tirelma/help.html");
    EXPECT_EQ(settings::FindHelpPage(kBin, exists).lexically_normal(),
              path("/opt/x/share/doc/tirelma/help.html"));
    files.file(kBin / "help.html");
    EXPECT_EQ(settings::FindHelpPage(kBin, exists), kBin / "help.html");
}

} // namespace
