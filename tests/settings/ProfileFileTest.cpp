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

TEST(ProfileFile, SeveralWritesInOneReplacementGiveTheBytesOfTheWritesOneByOne) {
    TempDir dir;
    const std::string start = "; hand-made\r\n[G0ChrDat7]\r\nCHR=7\r\nX=3\r\nY=4\r\nBL0= 7\r\n";
    // Values of every kind, new and existing keys, and a text CP932 lacks,
    // which switches the file to UTF-8 half way.
    const std::vector<settings::KeyWrite> writes = {
        {u"G0ChrDat7", u"X", u"5"},     {u"G0ChrDat7", u"BL0", u" 16"},
        {u"G0ChrDat7", u"BL1", u" 31"}, {u"Chr", u"G0ALLCHR", u"7\\\\é"},
        {u"G0ChrDat7", u"CHR", u"7"},   {u"G0ChrDatお", u"CHR", u"お"},
        {u"G0ChrDatお", u"BL0", u" 0"},
    };
    Spit(dir / "one.ini", start);
    Spit(dir / "all.ini", start);
    ProfileFile one(dir / "one.ini"), all(dir / "all.ini");
    for (const auto& w : writes)
        ASSERT_EQ(one.write(w.section, w.key, w.value), WriteStatus::Ok);
    ASSERT_EQ(all.writeAll(writes), WriteStatus::Ok);
    EXPECT_EQ(Slurp(dir / "all.ini"), Slurp(dir / "one.ini"));
    EXPECT_TRUE(Slurp(dir / "all.ini").starts_with("\xEF\xBB\xBF; hand-made\r\n"));
    EXPECT_EQ(all.read(u"Chr", u"G0ALLCHR"), u"7\\\\é");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"all.ini", "one.ini"}));

    // One write that would be refused keeps all the others out too: a
    // template is never stored in part.
    const std::string before = Slurp(dir / "all.ini");
    std::size_t refused = 99;
    EXPECT_EQ(all.writeAll({{u"G0ChrDat8", u"CHR", u"8"},
                            {u"G0ChrDat8", u"X", u"a\nb"},
                            {u"G0ChrDat8", u"Y", u"4"}},
                           &refused),
              WriteStatus::BadValue);
    EXPECT_EQ(refused, 1u);
    EXPECT_EQ(Slurp(dir / "all.ini"), before);
    EXPECT_FALSE(all.hasSection(u"G0ChrDat8"));
}

#ifdef _WIN32
namespace {

// Another program (holdfile.exe beside this test) that holds the file open
// without sharing it, as an antivirus scanner or an editor may, for ms
// milliseconds; returns once it holds the file.
HANDLE HoldElsewhere(const fs::path& file, int ms, const fs::path& held) {
    const fs::path helper = settings::ExecutableDir() / "holdfile.exe";
    std::wstring command = L"\"" + helper.wstring() + L"\" \"" + file.wstring() + L"\" " +
                           std::to_wstring(ms) + L" \"" + held.wstring() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    for (int i = 0; i < 1000 && !fs::exists(held); ++i)
        Sleep(10);
    return pi.hProcess;
}

} // namespace

TEST(ProfileFile, AFileHeldByAnotherProgramForAMomentIsWaitedFor) {
    TempDir dir;
    const auto path = dir / "Kavoren.ini";
    Spit(path, "[S]\r\nk=1\r\n");
    ProfileFile f(path);
    ASSERT_EQ(f.read(u"S", u"k"), u"1");

    const HANDLE brief = HoldElsewhere(path, 300, dir / "held1");
    ASSERT_NE(brief, nullptr);
    ASSERT_TRUE(fs::exists(dir / "held1"));
    EXPECT_EQ(f.write(u"S", u"k", u"2"), WriteStatus::Ok);
    WaitForSingleObject(brief, 10000);
    CloseHandle(brief);
    EXPECT_EQ(Slurp(path), "[S]\r\nk=2\r\n");

    // Held for longer than the program waits: refused as before, with the
    // file as it was and no temporary file left.
    const HANDLE lasting = HoldElsewhere(path, 8000, dir / "held2");
    ASSERT_NE(lasting, nullptr);
    ASSERT_TRUE(fs::exists(dir / "held2"));
    EXPECT_EQ(f.write(u"S", u"k", u"3"), WriteStatus::IoError);
    TerminateProcess(lasting, 0);
    WaitForSingleObject(lasting, 10000);
    CloseHandle(lasting);
    EXPECT_EQ(Slurp(path), "[S]\r\nk=2\r\n");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"Kavoren.ini", "held1", "held2"}));
}
#endif
