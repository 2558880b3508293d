// What follows a line written: the answer typed into the window the user
// works in, and the user's own command with the reading in its environment.
#include "AfterWrite.h"
#include "DemoDesk.h"
#include "Fakes.h"
#include "ProfileFixture.h"
#include "ProfileLayout.h"
#include "WriteCommand.h"
#include "frmTskTly.h"

#include "QtChecks.h"
#include <QFile>
#include <QTimer>

namespace {

using mainwin::CommandEnd;
using mainwin::SplitCommand;

TEST(WriteCommand, SplitsAsTypedWithQuotesAndNoShell) {
    struct Case {
        QString text;
        QStringList words; // the program first
    };
    const Case cases[] = {
        {QStringLiteral("curl -fsS https://example.com"),
         {QStringLiteral("curl"), QStringLiteral("-fsS"), QStringLiteral("https://example.com")}},
        {QStringLiteral("  sh  -c 'echo \"$TIRELMA_LINE\" >> log.txt'  "),
         {QStringLiteral("sh"), QStringLiteral("-c"),
          QStringLiteral("echo \"$TIRELMA_LINE\" >> log.txt")}},
        // Windows paths keep their backslashes; quotes keep blanks.
        {QStringLiteral("\"C:\\Program Files\\sqlite\\sqlite3.exe\" C:\\data\\r.db"),
         {QStringLiteral("C:\\Program Files\\sqlite\\sqlite3.exe"),
          QStringLiteral("C:\\data\\r.db")}},
        // Parts side by side make one word; \" is a quote; "" an empty word.
        {QStringLiteral("tool --data=\"a b\"'c d' \\\"x\\\" \"\""),
         {QStringLiteral("tool"), QStringLiteral("--data=a bc d"), QStringLiteral("\"x\""),
          QString()}},
        // Nothing the shell would do: no variables, no globs, no pipes.
        {QStringLiteral("echo $HOME * | x ; y"),
         {QStringLiteral("echo"), QStringLiteral("$HOME"), QStringLiteral("*"), QStringLiteral("|"),
          QStringLiteral("x"), QStringLiteral(";"), QStringLiteral("y")}},
    };
    for (const Case& c : cases) {
        const mainwin::CommandLine split = SplitCommand(c.text);
        EXPECT_TRUE(split.problem.isEmpty()) << c.text.toStdString();
        EXPECT_EQ(QStringList(split.program) + split.arguments, c.words) << c.text.toStdString();
    }
    for (const QString& bad : {QStringLiteral("sh -c 'echo"), QStringLiteral("a \"b"),
                               QStringLiteral(""), QStringLiteral(" \t ")}) {
        const mainwin::CommandLine split = SplitCommand(bad);
        EXPECT_FALSE(split.problem.isEmpty()) << bad.toStdString();
        EXPECT_TRUE(split.program.isEmpty());
    }
}

TEST(WriteCommand, MessagesNameTheProgramAndSayTheLineIsWritten) {
    EXPECT_TRUE(
        mainwin::CommandMessage(QStringLiteral("x"), CommandEnd::Finished, 0, {}).isEmpty());
    const QString failed =
        mainwin::CommandMessage(QStringLiteral("/usr/bin/curl"), CommandEnd::Finished, 22,
                                QStringLiteral("first\ncurl: (22) 404\n\n"));
    EXPECT_TRUE(failed.startsWith(QStringLiteral(
        "書き込み後のコマンド「curl」が終了コード 22 で終わりました。\ncurl: (22) 404\n")))
        << failed.toStdString();
    for (const CommandEnd end :
         {CommandEnd::NotStarted, CommandEnd::TimedOut, CommandEnd::Crashed}) {
        const QString text = mainwin::CommandMessage(QStringLiteral("tool"), end, 0, {});
        EXPECT_TRUE(text.contains(QStringLiteral("「tool」"))) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("(行は書き込みファイルに書き込んであります。)")));
    }
}

mainwin::WrittenLine Line(const QString& answer, mainwin::OutputSettings output) {
    return {std::move(output), answer, answer + QStringLiteral(" comment"),
            answer.split(QStringLiteral(","))};
}

class AfterWriteTest : public fakes::ProfileFixture {
protected:
    fakes::FakePlatform platform;
    QStringList told;
    tray::AfterWrite after{platform, [this](const QString& text) { told << text; }};
    mainwin::OutputSettings typing() {
        mainwin::OutputSettings o;
        o.TypeInto = true;
        o.TypeAfterKey = mainwin::TypeAfter::Tab;
        return o;
    }
};

TEST_F(AfterWriteTest, TypesOnceTheFocusIsBackAndEveryKeyIsUp) {
    after.setTypeWaitMs(5000);
    platform.focus = 0;       // the main window is closing: nobody has it yet
    platform.keysHeld = true; // the Alt of Alt+W
    after.deliver(Line(QStringLiteral("12.5"), typing()), 0x42, path({}));
    after.deliver(Line(QStringLiteral("13.0"), typing()), 0x42, path({}));
    QTest::qWait(100);
    EXPECT_TRUE(platform.typed.empty());
    platform.focus = 0x42;
    QTest::qWait(100);
    EXPECT_TRUE(platform.typed.empty()); // Alt still down
    platform.keysHeld = false;
    QTRY_COMPARE(platform.typed.size(), 2u);
    // In the order written, each where it was meant to go.
    EXPECT_EQ(platform.typed[0].text, QStringLiteral("12.5"));
    EXPECT_EQ(platform.typed[0].afterKey, int(Qt::Key_Tab));
    EXPECT_EQ(platform.typed[0].window, quintptr(0x42));
    EXPECT_EQ(platform.typed[1].text, QStringLiteral("13.0"));
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(AfterWriteTest, NothingIsTypedAnywhereElseAndTheUserIsToldWhy) {
    after.setTypeWaitMs(200);
    // Another window took the focus meanwhile.
    platform.focus = 0x43;
    after.deliver(Line(QStringLiteral("1"), typing()), 0x42, path({}));
    QTRY_COMPARE(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("入力しませんでした")));
    // Keys held all along.
    platform.focus = 0x42;
    platform.keysHeld = true;
    after.deliver(Line(QStringLiteral("2"), typing()), 0x42, path({}));
    QTRY_COMPARE(told.size(), 2);
    EXPECT_TRUE(told[1].contains(QStringLiteral("キーが押されたまま")));
    // Nobody's window to go back to (opened from the program's own window).
    platform.keysHeld = false;
    after.deliver(Line(QStringLiteral("3"), typing()), 0, path({}));
    EXPECT_EQ(told.size(), 3);
    // The system refusing the keys is said in its words.
    platform.typeRefusal = QStringLiteral("refused");
    after.deliver(Line(QStringLiteral("4"), typing()), 0x42, path({}));
    QTRY_COMPARE(told.size(), 4);
    EXPECT_EQ(told[3], QStringLiteral("refused"));
    // A desktop that lets no program type: said once, not at every write.
    platform.typing = false;
    after.deliver(Line(QStringLiteral("5"), typing()), 0x42, path({}));
    after.deliver(Line(QStringLiteral("5"), typing()), 0x42, path({}));
    EXPECT_EQ(told.size(), 5);
    EXPECT_TRUE(platform.typed.empty());
    // Off: nothing at all.
    after.deliver(Line(QStringLiteral("6"), {}), 0x42, path({}));
    QTest::qWait(50);
    EXPECT_EQ(told.size(), 5);
}

#ifndef Q_OS_WIN
mainwin::OutputSettings Command(const QString& text) {
    mainwin::OutputSettings o;
    o.RunCommand = true;
    o.Command = text.toStdU16String();
    return o;
}

TEST_F(AfterWriteTest, TheCommandRunsInTheProfilesFolderWithTheReadingInItsEnvironment) {
    after.deliver(Line(QStringLiteral("12.5,-3"),
                       Command(QStringLiteral("sh -c 'printf \"%s|%s|%s|%s|%s|%s\\n\" "
                                              "\"$TIRELMA_ANSWER\" \"$TIRELMA_LINE\" "
                                              "\"$TIRELMA_FIELD_COUNT\" \"$TIRELMA_FIELD_1\" "
                                              "\"$TIRELMA_FIELD_2\" \"$1\" > got.txt' x "
                                              "'an argument'"))),
                  0, path({}));
    QTRY_VERIFY(QFile::exists(path(QStringLiteral("got.txt"))) && after.running() == 0);
    QFile got(path(QStringLiteral("got.txt")));
    ASSERT_TRUE(got.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(got.readAll()),
              QStringLiteral("12.5,-3|12.5,-3 comment|2|12.5|-3|an argument\n"));
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(AfterWriteTest, ACommandThatFailsIsToldOnceWhicheverWayItFails) {
    after.setCommandMs(300);
    after.deliver(Line(QStringLiteral("1"), Command(QStringLiteral("/nonexistent/tool -x"))), 0,
                  path({}));
    QTRY_COMPARE(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("「/nonexistent/tool」を実行できませんでした")));
    after.deliver(
        Line(QStringLiteral("1"), Command(QStringLiteral("sh -c 'echo no table >&2; exit 3'"))), 0,
        path({}));
    QTRY_COMPARE(told.size(), 2);
    EXPECT_TRUE(told[1].contains(QStringLiteral("終了コード 3")));
    EXPECT_TRUE(told[1].contains(QStringLiteral("no table")));
    // Ended after its time, and said so once (not again as a crash).
    after.deliver(Line(QStringLiteral("1"), Command(QStringLiteral("sleep 30"))), 0, path({}));
    QTRY_COMPARE(told.size(), 3);
    EXPECT_TRUE(told[2].contains(QStringLiteral("終わらないため、終了させました")));
    QTRY_COMPARE(after.running(), 0);
    QTest::qWait(100);
    EXPECT_EQ(told.size(), 3);
    // A command line that is none.
    after.deliver(Line(QStringLiteral("1"), Command(QStringLiteral("x 'open"))), 0, path({}));
    EXPECT_EQ(told.size(), 4);
}
#endif

// Through the resident part: the window the user worked in is the one
// before the main window opened, or at the quick key.
class AfterWriteTray : public fakes::DemoDesk {
protected:
    void SetUp() override {
        DemoDesk::SetUp();
        platform.trayArea = true;
        ini.IniWrite(profile::kEndData, profile::kFileName,
                     path(QStringLiteral("out.txt")).toStdU16String());
        ini.IniWrite(profile::kEndData, profile::kTypeInto, u"True");
        ini.IniWrite(profile::kEndData, profile::kTypeAfter, u"Enter");
    }
};

TEST_F(AfterWriteTray, TheWriteButtonTypesIntoTheWindowBeforeAndTheQuickKeyIntoTheOneAtHand) {
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    platform.focus = 0x42;
    QTimer::singleShot(50, [&] {
        ASSERT_NE(t.mainWindow(), nullptr);
        QTRY_VERIFY(!t.mainWindow()->readings().front().text.empty());
        platform.focus = 0x99; // the main window has it now
        t.mainWindow()->cmdWrite_Click();
        platform.focus = 0x42; // back where it was
    });
    t.mnuAbout_Click();
    QTRY_COMPARE(platform.typed.size(), 1u);
    EXPECT_EQ(platform.typed[0].text, QStringLiteral("1234567890"));
    EXPECT_EQ(platform.typed[0].afterKey, int(Qt::Key_Return));
    EXPECT_EQ(platform.typed[0].window, quintptr(0x42));

    ini.IniWrite(profile::kEndData, profile::kQuickKey, u"F8");
    tray::frmTskTly quick(platform, dialogs, ini);
    quick.start();
    platform.focus = 0x77;
    ASSERT_TRUE(platform.pressKey(QKeyCombination(Qt::Key_F8)));
    QTRY_COMPARE(platform.typed.size(), 2u);
    EXPECT_EQ(platform.typed[1].window, quintptr(0x77));
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
