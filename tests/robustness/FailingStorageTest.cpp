// Storage that fails under the profile and the result file: a read-only
// profile, a folder that cannot be written, a read-only or full file system,
// a file-size limit, a missing folder, a result "file" that is a folder, a
// pipe or locked. Every write fails cleanly (the failure handler hears of
// each refused profile write), what was stored stays as it was, nothing
// half-written is left behind, and writes work again once the storage does.
#include "ChildProcess.h"
#include "FUMIni.h"
#include "FileIo.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

using settings::AppendStatus;
using settings::WriteStatus;
using testfiles::Names;
using testfiles::Slurp;
using testfiles::Spit;
using testfiles::TempDir;
namespace fs = std::filesystem;

// A failed expectation, wherever the checks run (this process or a child).
using Expect = std::function<void(bool ok, const std::string& what)>;

Expect InThisProcess() {
    return [](bool ok, const std::string& what) { EXPECT_TRUE(ok) << what; };
}

#ifndef _WIN32
Expect InChild(child::Findings& f) {
    return
        [&f](bool ok, const std::string& what) { f.check(ok, __FILE__, __LINE__, what.c_str()); };
}
#endif

// The profile of dir as the windows use it, with a failure handler that
// counts what it hears.
class Profile : public store::ProfileStore {
public:
    explicit Profile(const fs::path& dir) : ProfileStore(dir / "Kavoren.ini") {
        setWriteFailureHandler([this](const store::WriteFailure& f) {
            if (f.status == WriteStatus::IoError) ++ioErrors;
        });
    }

    int ioErrors = 0;
};

const std::string kLines = "12.5,upper\r\n13,lower\r\n";

// A user's settings and results, stored in dir.
void StoreSettings(const fs::path& dir) {
    Profile ini(dir);
    ini.IniWrite(u"ENDDATA", u"AREA", u"Counter");
    ini.IniWrite(u"認識エリアCounter", u"区切り", u",");
    for (int r = 0; r < 9; ++r)
        ini.IniWrite(u"G0ChrDat7", u"BL" + std::u16string(1, char16_t(u'0' + r)), u" 31");
    FUMIni::FormPosSave(ini, u"Tirelma", {2040, 3000, 4500, 6000});
    Spit(dir / "Kavoren.csv", kLines);
}

// Profile writes and result appends against storage that refuses them:
// each fails, and what was stored reads and stays byte for byte.
void ExpectWritesRefused(const fs::path& dir, bool appendsFail, const Expect& expect) {
    const std::string profileBefore = Slurp(dir / "Kavoren.ini");
    const auto namesBefore = Names(dir);
    Profile ini(dir);

    expect(ini.IniWrite(u"ENDDATA", u"AREA", u"Other") == 0, "a refused write returns 0");
    expect(ini.IniWrite(u"New", u"key", u"value") == 0, "a new section is refused too");
    expect(!FUMIni::FormPosSave(ini, u"Tirelma", {1, 2, 3, 4}), "placement not saved");
    expect(ini.ioErrors == 6,
           "the failure handler hears of every refused write, got " + std::to_string(ini.ioErrors));
    expect(ini.IniRead(u"ENDDATA", u"AREA") == u"Counter", "the stored value still reads");
    expect(ini.IniRead(u"G0ChrDat7", u"BL8") == u"31", "a template row still reads");
    expect(ini.IniRead(u"Tirelma", u"Top") == u"2040", "the placement still reads");
    expect(Slurp(dir / "Kavoren.ini") == profileBefore, "the profile's bytes are unchanged");

    const AppendStatus a = settings::AppendToFile(dir / "Kavoren.csv", "14,late\r\n");
    expect((a != AppendStatus::Ok) == appendsFail,
           appendsFail ? "the append fails" : "the append to an existing file works");
    expect(Slurp(dir / "Kavoren.csv") == kLines + (appendsFail ? "" : "14,late\r\n"),
           "the result lines are intact, with no part of a refused line");
    expect(Names(dir) == namesBefore, "no temporary or new file is left in the folder");
}

// Writes work again once the storage does, from what is on disk.
void ExpectWritesWork(const fs::path& dir, const Expect& expect) {
    Profile ini(dir);
    expect(ini.IniWrite(u"ENDDATA", u"AREA", u"Other") == 1, "the write works again");
    expect(ini.IniRead(u"ENDDATA", u"AREA") == u"Other", "and reads back");
    expect(ini.IniRead(u"G0ChrDat7", u"BL8") == u"31", "with everything else kept");
    expect(settings::AppendToFile(dir / "Kavoren.csv", "15,again\r\n") == AppendStatus::Ok,
           "the append works again");
    expect(Slurp(dir / "Kavoren.csv").starts_with(kLines), "after the earlier lines");
}

} // namespace

TEST(FailingStorage, ReadOnlyProfileAndResultFile) {
    TempDir dir;
    StoreSettings(dir.path());
    // No write permission at all: refused even for an administrator or root.
    fs::permissions(dir / "Kavoren.ini", fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(dir / "Kavoren.csv", fs::perms::owner_read | fs::perms::group_read);
    ExpectWritesRefused(dir.path(), true, InThisProcess());

    fs::permissions(dir / "Kavoren.ini", fs::perms::owner_write, fs::perm_options::add);
    fs::permissions(dir / "Kavoren.csv", fs::perms::owner_write, fs::perm_options::add);
    ExpectWritesWork(dir.path(), InThisProcess());
}

TEST(FailingStorage, MissingFolderCreatesNothing) {
    TempDir dir;
    const auto missing = dir / "gone";
    Profile ini(missing);
    EXPECT_EQ(ini.IniWrite(u"ENDDATA", u"AREA", u"Counter"), 0);
    EXPECT_EQ(ini.ioErrors, 1);
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"AREA"), u"");
    EXPECT_EQ(settings::AppendToFile(missing / "Kavoren.csv", "1\r\n"),
              AppendStatus::MissingFolder);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_TRUE(Names(dir.path()).empty());
}

TEST(FailingStorage, SomethingElseInTheFilesPlace) {
    TempDir dir;
    // Folders in the profile's and the result file's place.
    fs::create_directory(dir / "Kavoren.ini");
    fs::create_directory(dir / "Kavoren.csv");
    {
        Profile ini(dir.path());
        EXPECT_EQ(ini.IniRead(u"ENDDATA", u"AREA"), u"");
        EXPECT_EQ(ini.IniWrite(u"ENDDATA", u"AREA", u"x"), 0);
        EXPECT_EQ(ini.ioErrors, 1);
    }
    EXPECT_EQ(settings::AppendToFile(dir / "Kavoren.csv", "1\r\n"), AppendStatus::Failed);
    EXPECT_TRUE(fs::is_directory(dir / "Kavoren.ini"));
    EXPECT_TRUE(fs::is_directory(dir / "Kavoren.csv"));
#ifdef _WIN32
    // A result file that another program holds open without sharing it.
    Spit(dir / "locked.csv", kLines);
    const HANDLE h = CreateFileW((dir / "locked.csv").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(settings::AppendToFile(dir / "locked.csv", "14,late\r\n"), AppendStatus::Failed);
    CloseHandle(h);
    EXPECT_EQ(Slurp(dir / "locked.csv"), kLines);
#else
    // Named pipes that nobody writes or reads: reading and writing fail at
    // once instead of waiting forever (the child is stopped after 5 s).
    TempDir pipes;
    ASSERT_EQ(::mkfifo((pipes / "Kavoren.ini").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((pipes / "Kavoren.csv").c_str(), 0644), 0);
    const std::string found = child::Run(
        [&](child::Findings& f) {
            Profile ini(pipes.path());
            CHILD_CHECK(f, ini.IniRead(u"ENDDATA", u"AREA") == u"");
            CHILD_CHECK(f, ini.IniWrite(u"ENDDATA", u"AREA", u"x") == 0);
            CHILD_CHECK(f, settings::AppendToFile(pipes / "Kavoren.csv", "1\r\n") ==
                               AppendStatus::Failed);
        },
        5);
    EXPECT_EQ(found, "");
    EXPECT_EQ(fs::status(pipes / "Kavoren.ini").type(), fs::file_type::fifo);
#endif
}

// A read that fails for a moment (the file table full, another program
// holding the file without sharing it) fails that call only: the next call
// reads the file again instead of taking it for empty until it changes.
TEST(FailingStorage, AFailedReadIsTriedAgainAtTheNextCall) {
    TempDir dir;
    StoreSettings(dir.path());
    const std::string before = Slurp(dir / "Kavoren.ini");
#ifdef _WIN32
    Profile ini(dir.path());
    Spit(dir / "Kavoren.ini", before); // saved again by another program
    const HANDLE h = CreateFileW((dir / "Kavoren.ini").c_str(), GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"AREA"), u"");
    CloseHandle(h);
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"AREA"), u"Counter");
    EXPECT_EQ(ini.IniWrite(u"ENDDATA", u"AREA", u"Other"), 1);
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"AREA"), u"Other");
#else
    EXPECT_EQ(child::Run([&](child::Findings& f) {
                  Profile ini(dir.path());
                  // Saved again by another program, so that the next call reads it.
                  Spit(dir / "Kavoren.ini", before);
                  // Every descriptor the limit allows in use.
                  const rlimit lim{64, 64};
                  if (::setrlimit(RLIMIT_NOFILE, &lim) != 0) {
                      f.skip("cannot limit the open files");
                      return;
                  }
                  std::vector<int> held;
                  for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;)
                      held.push_back(fd);
                  CHILD_CHECK(f, ini.IniRead(u"ENDDATA", u"AREA") == u"");
                  CHILD_CHECK(f, !ini.IniHasSection(u"ENDDATA"));
                  CHILD_CHECK(f, ini.IniWrite(u"ENDDATA", u"AREA", u"Other") == 0);
                  CHILD_CHECK(f, ini.ioErrors == 1);
                  for (const int fd : held)
                      ::close(fd);
                  // The file has not changed, and reads again.
                  CHILD_CHECK(f, ini.IniRead(u"ENDDATA", u"AREA") == u"Counter");
                  CHILD_CHECK(f, ini.IniRead(u"G0ChrDat7", u"BL8") == u"31");
                  CHILD_CHECK(f, ini.IniWrite(u"ENDDATA", u"AREA", u"Other") == 1);
                  CHILD_CHECK(f, ini.IniRead(u"ENDDATA", u"AREA") == u"Other");
              }),
              "");
#endif
    // Nothing was lost meanwhile: only the one key changed.
    settings::ProfileDocument expected(before);
    ASSERT_EQ(expected.write(u"ENDDATA", u"AREA", u"Other"), WriteStatus::Ok);
    EXPECT_EQ(Slurp(dir / "Kavoren.ini"), expected.bytes());
}

#ifdef _WIN32

TEST(FailingStorage, FolderFileSystemAndSizeLimits) {
    GTEST_SKIP() << "folder permissions, read-only mounts, a full tmpfs and file-size limits "
                    "are set up with POSIX calls";
}

#else

namespace {

// Runs body in a child as the unprivileged user "nobody", in a folder of its
// own, or in this process when it is not root anyway.
std::string AsUnprivilegedUser(const std::function<void(const fs::path&, child::Findings&)>& body) {
    if (::geteuid() != 0) {
        TempDir dir;
        child::Findings f;
        body(dir.path(), f);
        return f.text();
    }
    return child::Run([&](child::Findings& f) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
            f.skip("cannot become the user nobody");
            return;
        }
        std::string tmpl = "/tmp/tirelma-nobody-XXXXXX";
        if (::mkdtemp(tmpl.data()) == nullptr) {
            f.skip("no folder for the user nobody in /tmp");
            return;
        }
        body(tmpl, f);
        std::error_code ec;
        fs::permissions(tmpl, fs::perms::owner_all, ec);
        fs::remove_all(tmpl, ec);
    });
}

// Runs body in a child with a small tmpfs of its own mounted at dir (in a
// private mount namespace, so nothing is seen outside the child).
std::string OnTmpfs(const fs::path& dir, const char* options,
                    const std::function<void(child::Findings&)>& body) {
    return child::Run([&](child::Findings& f) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tirelma-test", dir.c_str(), "tmpfs", 0, options) != 0) {
            f.skip("mounting a tmpfs is not allowed here");
            return;
        }
        body(f);
    });
}

void ReportFindings(const std::string& found) {
    if (found.starts_with("SKIP: ")) GTEST_SKIP() << found.substr(6);
    EXPECT_EQ(found, "");
}

} // namespace

TEST(FailingStorage, FolderWithoutWritePermission) {
    // Root may write into any folder, so this runs as the user nobody.
    ReportFindings(AsUnprivilegedUser([](const fs::path& dir, child::Findings& f) {
        StoreSettings(dir);
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        // The result file exists and stays writable: appending to it works,
        // creating a new one in the folder does not.
        ExpectWritesRefused(dir, false, InChild(f));
        CHILD_CHECK(f, settings::AppendToFile(dir / "new.csv", "1\r\n") == AppendStatus::Failed);
        CHILD_CHECK(f, !fs::exists(dir / "new.csv"));
        fs::permissions(dir, fs::perms::owner_all);
        ExpectWritesWork(dir, InChild(f));

        // A profile that exists but cannot be read is never overwritten.
        fs::permissions(dir / "Kavoren.ini", fs::perms::owner_write);
        Profile ini(dir);
        CHILD_CHECK(f, ini.IniRead(u"ENDDATA", u"AREA") == u"");
        CHILD_CHECK(f, ini.IniWrite(u"ENDDATA", u"AREA", u"x") == 0);
        fs::permissions(dir / "Kavoren.ini", fs::perms::owner_read | fs::perms::owner_write);
        CHILD_CHECK(f, ini.IniRead(u"ENDDATA", u"AREA") == u"Other");
    }));
}

TEST(FailingStorage, ReadOnlyFileSystem) {
    TempDir dir;
    ReportFindings(OnTmpfs(dir.path(), "size=1m,mode=0755", [&](child::Findings& f) {
        StoreSettings(dir.path());
        if (::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            f.skip("remounting read-only is not allowed here");
            return;
        }
        ExpectWritesRefused(dir.path(), true, InChild(f));
        CHILD_CHECK(f, ::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT, nullptr) == 0);
        ExpectWritesWork(dir.path(), InChild(f));
    }));
}

TEST(FailingStorage, FullDisk) {
    TempDir dir;
    ReportFindings(OnTmpfs(dir.path(), "size=64k,mode=0755", [&](child::Findings& f) {
        StoreSettings(dir.path());
        // A result file just short of a whole page, so that the next line
        // fits only in part, and a filler that takes every free block.
        const std::string lines = kLines + std::string(4090 - kLines.size() - 2, 'x') + "\r\n";
        Spit(dir.path() / "Kavoren.csv", lines);
        {
            std::ofstream filler(dir.path() / "filler", std::ios::binary);
            const std::string block(4096, 'f');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
                filler.flush();
        }
        const std::string profileBefore = Slurp(dir.path() / "Kavoren.ini");
        const auto namesBefore = Names(dir.path());
        {
            Profile ini(dir.path());
            CHILD_CHECK(f, ini.IniWrite(u"ENDDATA", u"AREA", u"Other") == 0);
            CHILD_CHECK(f, ini.ioErrors == 1);
            CHILD_CHECK(f, ini.IniRead(u"ENDDATA", u"AREA") == u"Counter");
        }
        CHILD_CHECK(f, Slurp(dir.path() / "Kavoren.ini") == profileBefore);
        CHILD_CHECK(f, settings::AppendToFile(dir.path() / "Kavoren.csv", "14,a longer line\r\n") ==
                           AppendStatus::Failed);
        CHILD_CHECK(f, Slurp(dir.path() / "Kavoren.csv") == lines); // no part of the line
        CHILD_CHECK(f, Names(dir.path()) == namesBefore);

        fs::remove(dir.path() / "filler");
        ExpectWritesWork(dir.path(), InChild(f));
    }));
}

TEST(FailingStorage, FileSizeLimit) {
    // The same failure as a full disk where no file system can be mounted:
    // the process may not write files beyond a size.
    TempDir dir;
    StoreSettings(dir.path());
    const auto resultSize = fs::file_size(dir / "Kavoren.csv");
    ASSERT_GT(fs::file_size(dir / "Kavoren.ini"), resultSize + 4);
    EXPECT_EQ(child::Run([&](child::Findings& f) {
                  ::signal(SIGXFSZ, SIG_IGN);
                  const rlim_t limit = resultSize + 4; // room for part of a line only
                  const rlimit lim{limit, limit};
                  if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) {
                      f.skip("cannot limit the file size");
                      return;
                  }
                  ExpectWritesRefused(dir.path(), true, InChild(f));
              }),
              "");
    ExpectWritesWork(dir.path(), InThisProcess());
}

#endif
