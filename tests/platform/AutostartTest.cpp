// The formats of the start at sign-in: the XDG autostart entry's Exec line
// and keys, the Windows Run value and the start-up list's record.
#include "Autostart.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

// Paths a user really has: blanks, Japanese, and the characters the
// desktop entry rules reserve.
const QStringList kPrograms = {
    QStringLiteral("/usr/bin/tirelma"),
    QStringLiteral("/home/u/my apps/tirelma"),
    QStringLiteral("/home/山田/ツール/tirelma"),
    QStringLiteral("/tmp/a\"b$c`d\\e/tirelma"),
    QStringLiteral("/opt/100%/it's (new)/tirelma"),
};

TEST(AutostartEntry, NamesTheProgramExactlyWhateverItsPath) {
    for (const QString& program : kPrograms) {
        const QString entry = AutostartDesktopEntry(program);
        const QString exec = DesktopEntryValue(entry, QStringLiteral("Exec"));
        EXPECT_EQ(ExecProgram(exec), program) << exec.toStdString();
        EXPECT_EQ(DesktopEntryState(entry), AutostartState::On);
        EXPECT_EQ(DesktopEntryValue(entry, QStringLiteral("Type")), QStringLiteral("Application"));
    }
    // Quoted only where needed; inside quotes \ " ` $ get a backslash, which
    // the string value doubles; a percent sign is doubled.
    EXPECT_EQ(DesktopExecArgument(QStringLiteral("/usr/bin/tirelma")),
              QStringLiteral("/usr/bin/tirelma"));
    EXPECT_EQ(DesktopExecArgument(QStringLiteral("/my apps/a$b")),
              QStringLiteral("\"/my apps/a\\\\$b\""));
    EXPECT_EQ(DesktopExecArgument(QStringLiteral("/x/100%/t")), QStringLiteral("/x/100%%/t"));
    EXPECT_EQ(DesktopExecArgument(QStringLiteral("/a\\b")), QStringLiteral("\"/a\\\\\\\\b\""));
}

TEST(AutostartEntry, ReadsOnlyTheMainGroupsUntranslatedKeys) {
    const QString entry = QStringLiteral("# Hidden=true\r\n"
                                         "[Desktop Entry]\r\n"
                                         "Name[ja]=ティレルマ\r\n"
                                         "Name = Tirelma\r\n"
                                         "Comment=one\\stwo\\\\three\r\n"
                                         "[Desktop Action x]\r\n"
                                         "Hidden=true\r\n"
                                         "Exec=/other\r\n");
    EXPECT_EQ(DesktopEntryValue(entry, QStringLiteral("Name")), QStringLiteral("Tirelma"));
    EXPECT_EQ(DesktopEntryValue(entry, QStringLiteral("Comment")),
              QStringLiteral("one two\\three"));
    EXPECT_EQ(DesktopEntryValue(entry, QStringLiteral("Exec")), QString());
    EXPECT_EQ(DesktopEntryState(entry), AutostartState::On);
    EXPECT_EQ(DesktopEntryValue(QStringLiteral("Exec=/x\n"), QStringLiteral("Exec")), QString());
}

TEST(AutostartEntry, StatesTheDesktopsOwnSwitchesMean) {
    const QString on = AutostartDesktopEntry(QStringLiteral("/usr/bin/tirelma"));
    EXPECT_EQ(DesktopEntryState(on + QStringLiteral("Hidden=true\n")), AutostartState::Off);
    EXPECT_EQ(DesktopEntryState(on + QStringLiteral("Hidden=false\n")), AutostartState::On);
    QString off = on;
    off.replace(QStringLiteral("X-GNOME-Autostart-enabled=true"),
                QStringLiteral("X-GNOME-Autostart-enabled=false"));
    EXPECT_EQ(DesktopEntryState(off), AutostartState::DisabledBySystem);
}

TEST(AutostartEntry, PointingAtAnotherProgramKeepsEverythingElse) {
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Name=Mine\n"
                                         "Exec=/old/tirelma --later %%\n"
                                         "X-Note=kept\n"
                                         "[Desktop Action a]\n"
                                         "Exec=/old/tirelma\n");
    const QString moved = DesktopEntryWithProgram(entry, QStringLiteral("/new place/tirelma"));
    EXPECT_EQ(moved, QStringLiteral("[Desktop Entry]\n"
                                    "Name=Mine\n"
                                    "Exec=\"/new place/tirelma\" --later %%\n"
                                    "X-Note=kept\n"
                                    "[Desktop Action a]\n"
                                    "Exec=/old/tirelma\n"));
    for (const QString& program : kPrograms) {
        const QString again =
            DesktopEntryWithProgram(AutostartDesktopEntry(QStringLiteral("/x")), program);
        EXPECT_EQ(again, AutostartDesktopEntry(program));
    }
    // Without an Exec line there is nothing to point elsewhere.
    EXPECT_EQ(
        DesktopEntryWithProgram(QStringLiteral("[Desktop Entry]\nName=x\n"), QStringLiteral("/y")),
        QStringLiteral("[Desktop Entry]\nName=x\n"));
}

TEST(AutostartFolders, FollowTheXdgRules) {
    EXPECT_EQ(XdgAutostartFolder(QStringLiteral("/cfg"), QStringLiteral("/home/u")),
              QStringLiteral("/cfg/autostart"));
    EXPECT_EQ(XdgAutostartFolder(QString(), QStringLiteral("/home/u")),
              QStringLiteral("/home/u/.config/autostart"));
    // A relative XDG_CONFIG_HOME is to be ignored.
    EXPECT_EQ(XdgAutostartFolder(QStringLiteral("cfg"), QStringLiteral("/home/u")),
              QStringLiteral("/home/u/.config/autostart"));
    EXPECT_EQ(XdgAutostartFolder(QString(), QString()), QString());
    EXPECT_EQ(XdgSystemAutostartFolders(QString()),
              QStringList{QStringLiteral("/etc/xdg/autostart")});
    EXPECT_EQ(XdgSystemAutostartFolders(QStringLiteral("/a:rel::/b")),
              (QStringList{QStringLiteral("/a/autostart"), QStringLiteral("/b/autostart")}));
}

TEST(RunValue, NamesTheProgramInQuotes) {
    const QString program =
        QStringLiteral("C:\\Users\\山田 太郎\\AppData\\Local\\Programs\\Tirelma\\tirelma.exe");
    EXPECT_EQ(RunCommand(program), u'"' + program + u'"');
    EXPECT_EQ(RunCommandProgram(RunCommand(program)), program);
    // Values written by hand or by other tools.
    EXPECT_EQ(RunCommandProgram(QStringLiteral("C:\\Program Files\\T\\Tirelma.EXE /min")),
              QStringLiteral("C:\\Program Files\\T\\Tirelma.EXE"));
    EXPECT_EQ(RunCommandProgram(QStringLiteral("  \"C:\\a b\\t.exe\" -x")),
              QStringLiteral("C:\\a b\\t.exe"));
    EXPECT_EQ(RunCommandProgram(QStringLiteral("\"C:\\unclosed")), QStringLiteral("C:\\unclosed"));
    EXPECT_EQ(RunCommandProgram(QStringLiteral("tirelma -x")), QStringLiteral("tirelma"));
}

TEST(RunValue, TheStartupListsRecordTurnsItOffWithAnOddFirstByte) {
    const auto record = [](std::initializer_list<unsigned char> bytes) {
        QByteArray b;
        for (unsigned char c : bytes)
            b.append(static_cast<char>(c));
        b.append(QByteArray(12 - b.size(), '\0'));
        return b;
    };
    EXPECT_FALSE(StartupApprovedDisables(record({0x02})));
    EXPECT_FALSE(StartupApprovedDisables(record({0x06})));
    EXPECT_TRUE(StartupApprovedDisables(record({0x03, 0, 0, 0, 0x4a, 0x1c, 0x9e, 0x12})));
    EXPECT_TRUE(StartupApprovedDisables(record({0x07})));
    EXPECT_FALSE(StartupApprovedDisables(QByteArray()));
}

TEST(RunValue, SameProgramIgnoresCaseOnlyWhereAsked) {
    EXPECT_TRUE(SameProgram(QStringLiteral("C:\\A\\t.exe"), QStringLiteral("c:\\a\\T.EXE"),
                            Qt::CaseInsensitive));
    EXPECT_TRUE(
        SameProgram(QStringLiteral("/a/./b/../t"), QStringLiteral("/a/t"), Qt::CaseSensitive));
    EXPECT_FALSE(SameProgram(QStringLiteral("/a/T"), QStringLiteral("/a/t"), Qt::CaseSensitive));
}

} // namespace
