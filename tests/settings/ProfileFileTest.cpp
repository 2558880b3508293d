#include "ProfileFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using settings::ProfileFile;
using settings::WriteStatus;
using testfiles::Names;
using testfiles::Slurp;
using testfiles::Spit;
using testfiles::TempDir;
namespace fs = std::filesystem;

namespace {

// What tells one file from another on the same volume: a file put in
// another's place has a new one.
std::uint64_t FileIdentity(const fs::path& p) {
#ifdef _WIN32
    const HANDLE h =
        CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    return (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
#else
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_ino;
#endif
}

} // namespace

TEST(ProfileFile, CreatedOnFirstWriteAndReplacedWhole) {
    TempDir dir;
    const auto path = dir / "Kavoren.ini";
    ProfileFile f(path);
    EXPECT_EQ(f.read(u"ENDDATA", u"AREA"), u"");
    EXPECT_FALSE(f.hasSection(u"ENDDATA"));
    EXPECT_FALSE(fs::exists(path)); // reading creates nothing

    ASSERT_EQ(f.write(u"ENDDATA", u"AREA", u"Counter"), WriteStatus::Ok);
    EXPECT_EQ(Slurp(path), "[ENDDATA]\r\nAREA=Counter\r\n");
    fs::permissions(path, fs::perms(0640));

    // Each write puts a new file in place (never a torn one) and keeps the mode;
    // no temporary file is left behind.
    const auto before = FileIdentity(path);
    ASSERT_EQ(f.write(u"ENDDATA", u"CSV", u"True"), WriteStatus::Ok);
    EXPECT_NE(FileIdentity(path), before);
#ifndef _WIN32 // Windows keeps no permission bits beyond read-only
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
#endif
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"Kavoren.ini"});
    EXPECT_EQ(Slurp(path), "[ENDDATA]\r\nAREA=Counter\r\nCSV=True\r\n");
}

TEST(ProfileFile, ChangesByOthersAreSeenByTheNextCall) {
    TempDir dir;
    const auto path = dir / "Kavoren.ini";
    ProfileFile f(path);
    ASSERT_EQ(f.write(u"S", u"k", u"1"), WriteStatus::Ok);
    EXPECT_EQ(f.read(u"S", u"k"), u"1");

    // An editor saving over the file in place, with the same size.
    Spit(path, "[S]\r\nk=2\r\n");
    EXPECT_EQ(f.read(u"S", u"k"), u"2");
    Spit(path, "[S]\r\nk=3\r\n");
    EXPECT_EQ(f.read(u"S", u"k"), u"3");
    // A later write starts from what is on disk, not from the old copy.
    ASSERT_EQ(f.write(u"S", u"j", u"x"), WriteStatus::Ok);
    EXPECT_EQ(Slurp(path), "[S]\r\nk=3\r\nj=x\r\n");

    // Another writer (another window, another program) replacing the file.
    ProfileFile other(path);
    ASSERT_EQ(other.write(u"S", u"k", u"4"), WriteStatus::Ok);
    EXPECT_EQ(f.read(u"S", u"k"), u"4");
    fs::remove(path);
    EXPECT_EQ(f.read(u"S", u"k"), u"");
}

TEST(ProfileFile, FailedWritesLeaveEverythingAsItWas) {
    TempDir dir;
    // A read-only file (no write bit: refused also when running as root).
    const auto ro = dir / "ro.ini";
    Spit(ro, "[S]\r\nk=1\r\n");
    fs::permissions(ro, fs::perms(0444));
    ProfileFile readOnly(ro);
    EXPECT_EQ(readOnly.write(u"S", u"k", u"2"), WriteStatus::IoError);
    EXPECT_EQ(readOnly.write(u"T", u"k", u"2"), WriteStatus::IoError);
    EXPECT_EQ(Slurp(ro), "[S]\r\nk=1\r\n");
    EXPECT_EQ(readOnly.read(u"S", u"k"), u"1");

    // A missing folder is not created.
    ProfileFile lost(dir / "missing" / "Kavoren.ini");
    EXPECT_EQ(lost.write(u"S", u"k", u"1"), WriteStatus::IoError);
    EXPECT_FALSE(fs::exists(dir / "missing"));

    // Something that exists but cannot be read is never overwritten.
    fs::create_directory(dir / "folder.ini");
    ProfileFile unreadable(dir / "folder.ini");
    EXPECT_EQ(unreadable.read(u"S", u"k"), u"");
    EXPECT_EQ(unreadable.write(u"S", u"k", u"1"), WriteStatus::IoError);
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));
#ifndef _WIN32 // a file that can be written but not read exists only here
    if (::geteuid() != 0) {
        const auto wo = dir / "wo.ini";
        Spit(wo, "[S]\r\nk=1\r\n");
        fs::permissions(wo, fs::perms(0200));
        EXPECT_EQ(ProfileFile(wo).write(u"S", u"k", u"2"), WriteStatus::IoError);
        fs::permissions(wo, fs::perms(0600));
        EXPECT_EQ(Slurp(wo), "[S]\r\nk=1\r\n");
    }
#endif
    for (const auto& name : Names(dir.path())) // no temporary file left
        EXPECT_TRUE(name.ends_with(".ini")) << name;

    // A refused name touches nothing either.
    EXPECT_EQ(readOnly.write(u"S]", u"k", u"1"), WriteStatus::BadName);
}

TEST(ProfileFile, WritesThroughALinkKeepTheLink) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need special rights on Windows";
#endif
    TempDir dir;
    Spit(dir / "real.ini", "[S]\r\nk=1\r\n");
    fs::create_symlink("real.ini", dir / "Kavoren.ini");
    ProfileFile f(dir / "Kavoren.ini");
    ASSERT_EQ(f.write(u"S", u"k", u"2"), WriteStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(dir / "Kavoren.ini"));
    EXPECT_EQ(Slurp(dir / "real.ini"), "[S]\r\nk=2\r\n");
}

TEST(ProfileFile, NotepadsUnicodeFileStaysUtf16) {
    TempDir dir;
    const auto path = dir / "Kavoren.ini";
    auto utf16 = [](std::u16string_view text) {
        return std::string(settings::kUtf16LeBom) +
               settings::Utf16Bytes(settings::FileEncoding::Utf16Le, text);
    };
    Spit(path, utf16(u"[ENDDATA]\r\nAREA=カウンタ\r\n"));
    ProfileFile f(path);
    EXPECT_EQ(f.read(u"enddata", u"area"), u"カウンタ");
    const auto before = FileIdentity(path);
    ASSERT_EQ(f.write(u"ENDDATA", u"刻み", u"0.5"), WriteStatus::Ok);
    EXPECT_NE(FileIdentity(path), before); // replaced whole, as every write
    EXPECT_EQ(Slurp(path), utf16(u"[ENDDATA]\r\nAREA=カウンタ\r\n刻み=0.5\r\n"));
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"Kavoren.ini"});

    // Saved again by hand in big-endian order: read, and never written.
    const std::string big =
        std::string(settings::kUtf16BeBom) +
        settings::Utf16Bytes(settings::FileEncoding::Utf16Be, u"[S]\r\nk=1\r\n");
    Spit(path, big);
    EXPECT_EQ(f.read(u"S", u"k"), u"1");
    EXPECT_EQ(f.write(u"S", u"k", u"2"), WriteStatus::UnsupportedFile);
    EXPECT_EQ(Slurp(path), big);
}
