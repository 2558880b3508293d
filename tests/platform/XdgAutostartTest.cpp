// The start at sign-in on Linux, in folders of the test's own: the entry
// it writes is one the desktop takes (desktop-file-validate), it goes again
// when turned off, and an administrator's entry for every user is hidden
// rather than left running.
#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace platform;

class XdgAutostart : public ::testing::Test {
protected:
    QTemporaryDir dir;
    AutostartPlaces places;
    QString program;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        places.userFolder = dir.filePath(QStringLiteral("config/autostart"));
        places.systemFolders = {dir.filePath(QStringLiteral("xdg1/autostart")),
                                dir.filePath(QStringLiteral("xdg2/autostart"))};
        // A program of its own, in a folder with a blank and Japanese.
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("my apps/ツール"))));
        program = dir.filePath(QStringLiteral("my apps/ツール/tirelma"));
        put(program, QStringLiteral("#!/bin/sh\n"));
    }
    QString userEntry() const { return places.userFolder + QStringLiteral("/tirelma.desktop"); }
    static void put(const QString& path, const QString& text) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    static QString read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // What desktop-file-validate says about the entry: empty when it is valid.
    static QString validate(const QString& path) {
        const QString tool =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (tool.isEmpty()) return QStringLiteral("desktop-file-validate is missing");
        QProcess p;
        p.start(tool, {path});
        p.waitForFinished();
        const QString said =
            QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitCode() == 0 ? said.trimmed()
                                 : QStringLiteral("exit %1: %2").arg(p.exitCode()).arg(said);
    }
};

TEST_F(XdgAutostart, TurnedOnItWritesAValidEntryForThisProgramAndOffRemovesIt) {
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::Off);
    ASSERT_TRUE(WriteAutostart(places, program, true));
    EXPECT_EQ(validate(userEntry()), QString());
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::On);
    const QString entry = read(userEntry());
    EXPECT_EQ(ExecProgram(DesktopEntryValue(entry, QStringLiteral("Exec"))), program);
    // Turning it on again changes nothing.
    ASSERT_TRUE(WriteAutostart(places, program, true));
    EXPECT_EQ(read(userEntry()), entry);

    ASSERT_TRUE(WriteAutostart(places, program, false));
    EXPECT_FALSE(QFile::exists(userEntry()));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::Off);
    // Off when already off is no failure.
    EXPECT_TRUE(WriteAutostart(places, program, false));
}

TEST_F(XdgAutostart, AnEntryForEveryUserIsHiddenByTheUsersOwnWhenTurnedOff) {
    // The administrator's entry in the second system folder (the first has none).
    put(places.systemFolders[1] + QStringLiteral("/tirelma.desktop"),
        AutostartDesktopEntry(QStringLiteral("tirelma")));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::On);
    ASSERT_TRUE(WriteAutostart(places, program, false));
    EXPECT_EQ(DesktopEntryValue(read(userEntry()), QStringLiteral("Hidden")),
              QStringLiteral("true"));
    EXPECT_EQ(validate(userEntry()), QString());
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::Off);
    ASSERT_TRUE(WriteAutostart(places, program, true));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::On);
}

TEST_F(XdgAutostart, TurnedOffInTheDesktopsSettingsItSaysSoAndTurnsOnAgain) {
    QString entry = AutostartDesktopEntry(program);
    entry.replace(QStringLiteral("X-GNOME-Autostart-enabled=true"),
                  QStringLiteral("X-GNOME-Autostart-enabled=false"));
    put(userEntry(), entry);
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::DisabledBySystem);
    ASSERT_TRUE(WriteAutostart(places, program, true));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::On);
}

TEST_F(XdgAutostart, AnEntryForAProgramThatWasMovedAwayFollowsIt) {
    // Written by the copy that used to be in "old" (now gone), with the
    // user's own addition.
    QString moved = AutostartDesktopEntry(dir.filePath(QStringLiteral("old/tirelma")));
    moved.replace(
        QStringLiteral("Exec=") + DesktopExecArgument(dir.filePath(QStringLiteral("old/tirelma"))),
        QStringLiteral("Exec=") + DesktopExecArgument(dir.filePath(QStringLiteral("old/tirelma"))) +
            QStringLiteral(" --later"));
    put(userEntry(), moved);
    EXPECT_TRUE(MendAutostart(places, program));
    const QString exec = DesktopEntryValue(read(userEntry()), QStringLiteral("Exec"));
    EXPECT_EQ(ExecProgram(exec), program);
    EXPECT_TRUE(exec.endsWith(QStringLiteral(" --later")));
    EXPECT_EQ(validate(userEntry()), QString());
    EXPECT_FALSE(MendAutostart(places, program)); // now right

    // Another copy that still exists, a name looked up on the PATH, and an
    // entry that is off are left as they are.
    const QString other = dir.filePath(QStringLiteral("other/tirelma"));
    put(other, QString());
    for (const QString& entry :
         {AutostartDesktopEntry(other), AutostartDesktopEntry(QStringLiteral("tirelma")),
          AutostartDesktopEntry(dir.filePath(QStringLiteral("gone"))) +
              QStringLiteral("Hidden=true\n")}) {
        put(userEntry(), entry);
        EXPECT_FALSE(MendAutostart(places, program));
        EXPECT_EQ(read(userEntry()), entry);
    }
}

TEST_F(XdgAutostart, AFolderThatCannotBeMadeIsAFailureNotASuccess) {
    put(dir.filePath(QStringLiteral("config/file")), QStringLiteral("x"));
    places.userFolder = dir.filePath(QStringLiteral("config/file/autostart"));
    EXPECT_FALSE(WriteAutostart(places, program, true));
    EXPECT_EQ(ReadAutostart(places, program), AutostartState::Off);
    places.userFolder.clear(); // no home at all
    EXPECT_FALSE(WriteAutostart(places, program, true));
    EXPECT_FALSE(MendAutostart(places, program));
}

} // namespace
