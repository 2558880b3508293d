// The start at sign-in on Windows, in registry keys of the test's own below
// HKEY_CURRENT_USER: the Run value names this program in quotes, Windows'
// start-up list can keep it off, and a value for a program that was moved
// away follows it.
#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using namespace platform;

class WinAutostart : public ::testing::Test {
protected:
    QString root;
    AutostartPlaces places;
    QTemporaryDir dir;
    QString program;

    void SetUp() override {
        root = QStringLiteral("Software\\TirelmaTests\\%1").arg(GetCurrentProcessId());
        places.runKey = root + QStringLiteral("\\Run");
        places.approvedKey = root + QStringLiteral("\\StartupApproved\\Run");
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("山田 の ツール"))));
        program =
            QDir::toNativeSeparators(dir.filePath(QStringLiteral("山田 の ツール/tirelma.exe")));
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, root.toStdWString().c_str()); }
    void set(const QString& key, DWORD type, const void* data, DWORD size) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.toStdWString().c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(k, L"Tirelma", 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(k);
    }
    void setRun(const QString& command) {
        const std::wstring w = command.toStdWString();
        set(places.runKey, REG_SZ, w.c_str(), static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
    }
    QString run() {
        wchar_t buffer[1024];
        DWORD size = sizeof(buffer);
        if (RegGetValueW(HKEY_CURRENT_USER, places.runKey.toStdWString().c_str(), L"Tirelma",
                         RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return QStringLiteral("(none)");
        return QString::fromWCharArray(buffer);
    }
    // What Task Manager writes: 2 (on) or 3 (off), then a time.
    void approve(bool on) {
        unsigned char record[12] = {static_cast<unsigned char>(on ? 2 : 3), 0, 0, 0, 0x10, 0x20};
        set(places.approvedKey, REG_BINARY, record, sizeof(record));
    }
};

TEST_F(WinAutostart, TurnedOnTheRunValueNamesThisProgramInQuotesAndOffRemovesIt) {
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::Off);
    ASSERT_TRUE(WriteAutostart(places, program, true));
    EXPECT_EQ(run(), u'"' + program + u'"');
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::On);
    ASSERT_TRUE(WriteAutostart(places, program, false));
    EXPECT_EQ(run(), QStringLiteral("(none)"));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::Off);
    EXPECT_TRUE(WriteAutostart(places, program, false));
}

TEST_F(WinAutostart, WindowsStartupListCanKeepItOff) {
    ASSERT_TRUE(WriteAutostart(places, program, true));
    approve(false);
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::DisabledBySystem);
    // The program cannot overrule the user's choice there.
    ASSERT_TRUE(WriteAutostart(places, program, true));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::DisabledBySystem);
    approve(true);
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::On);
    // A record without a Run value starts nothing.
    ASSERT_TRUE(WriteAutostart(places, program, false));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::Off);
}

TEST_F(WinAutostart, AValueForAProgramThatWasMovedAwayFollowsIt) {
    setRun(QStringLiteral("\"C:\\gone\\Tirelma\\tirelma.exe\""));
    EXPECT_TRUE(MendAutostart(places, program));
    EXPECT_EQ(run(), u'"' + program + u'"');
    EXPECT_FALSE(MendAutostart(places, program));

    // Another copy that still exists stays named; so does this one written
    // in other letter case.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("other"))));
    const QString other =
        QDir::toNativeSeparators(dir.filePath(QStringLiteral("other/tirelma.exe")));
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    for (const QString& command : {u'"' + other + u'"', program.toUpper()}) {
        setRun(command);
        EXPECT_FALSE(MendAutostart(places, program));
        EXPECT_EQ(run(), command);
    }
}

TEST_F(WinAutostart, AValueThatIsNotTextCountsAsNone) {
    const DWORD number = 1;
    set(places.runKey, REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::Off);
    EXPECT_FALSE(MendAutostart(places, program));
    ASSERT_TRUE(WriteAutostart(places, program, true));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::On);
}

} // namespace
