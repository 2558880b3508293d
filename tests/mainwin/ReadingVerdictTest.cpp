// The main window on readings that cannot be trusted as they stand: unread
// ink framed in red with a line under the answer, a question before writing
// (いいえ the default), the area's key that writes without asking, an area
// off the screen, a grab that fails, a monitor other than the area's own.
#include "DemoDesk.h"
#include "Dialogs.h"
#include "Fakes.h"
#include "ProfileFixture.h"
#include "frmMain.h"

#include "QtChecks.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

namespace {

using fakes::FakeDialogs;
using fakes::FakePlatform;
using mainwin::frmMain;
using Answer = platform::Dialogs::Answer;

class ReadingVerdict : public fakes::DemoDesk {
protected:
    // The demo profile writing to out.txt, and "12.34,-5.6" on the screen
    // at its area.
    void SetUp() override {
        DemoDesk::SetUp();
        ini.IniWrite(u"ENDDATA", u"FILENAME", path(QStringLiteral("out.txt")).toStdU16String());
        show(QStringLiteral("position.ppm"));
    }
    // "." taken out of the group, as a user who never taught it.
    void withoutDot() {
        ini.IniWrite(u"Chr", u"G0ALLCHR",
                     u"0\\\\1\\\\2\\\\3\\\\4\\\\5\\\\6\\\\7\\\\8\\\\9\\\\,\\\\-");
    }
    void set(std::u16string_view key, std::u16string_view value) {
        ini.IniWrite(u"認識エリアCounter", key, value);
    }
    static QString kotae(QWidget& w) {
        return w.findChild<QLineEdit*>(QStringLiteral("txtKotae"))->text();
    }
    static QLabel* notice(QWidget& w) { return w.findChild<QLabel*>(QStringLiteral("lblKeikoku")); }
    QString written() { return Cp932(readFile(QStringLiteral("out.txt"))); }
    // Red pixels of the shown picture, by column of the area (zoom 1 here).
    static QList<int> RedColumns(frmMain& w) {
        const QImage shown = w.findChild<QLabel*>(QStringLiteral("Picture1"))->pixmap().toImage();
        QList<int> columns;
        for (int x = 0; x < shown.width(); ++x)
            for (int y = 0; y < shown.height(); ++y)
                if (shown.pixel(x, y) == 0xFFE00000) {
                    columns << x;
                    break;
                }
        return columns;
    }
};

TEST_F(ReadingVerdict, UnreadInkIsFramedToldAndAskedAbout) {
    withoutDot();
    frmMain w(platform, dialogs, ini);
    const int heightBefore = w.height();
    const QRect commentBefore = w.findChild<QLineEdit*>(QStringLiteral("txtComment"))->geometry();
    QSignalSpy closed(&w, &frmMain::closed);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234,-56")); // the reading as it is
    EXPECT_FALSE(w.reading().complete());
    ASSERT_EQ(w.reading().verdict.unread.size(), 2u);
    // The line under the answer, the rest of the window below it.
    ASSERT_TRUE(notice(w)->isVisible());
    EXPECT_TRUE(notice(w)->text().contains(QStringLiteral("読み取れない部分があります")))
        << notice(w)->text().toStdString();
    const QRect answer = w.findChild<QLineEdit*>(QStringLiteral("txtKotae"))->geometry();
    EXPECT_GT(notice(w)->geometry().top(), answer.bottom());
    const QRect comment = w.findChild<QLineEdit*>(QStringLiteral("txtComment"))->geometry();
    EXPECT_GE(comment.top(), notice(w)->geometry().bottom());
    EXPECT_EQ(comment.top() - commentBefore.top(), w.height() - heightBefore);
    // The two dots framed in red: around their columns, nowhere else.
    const QList<int> red = RedColumns(w);
    ASSERT_FALSE(red.isEmpty());
    for (const auto& p : w.reading().verdict.unread) {
        EXPECT_TRUE(red.contains(p.first - 1) && red.contains(p.last + 1)) << p.first;
    }
    for (const int x : red) {
        bool near = false;
        for (const auto& p : w.reading().verdict.unread)
            near = near || (x >= p.first - 1 && x <= p.last + 1);
        EXPECT_TRUE(near) << x;
    }

    // Escape (or いいえ) writes nothing and leaves the window open.
    w.cmdWrite_Click();
    ASSERT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_TRUE(dialogs.confirmations[0].contains(QStringLiteral("このまま書き込みますか")));
    EXPECT_TRUE(written().isEmpty());
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(kotae(w), QStringLiteral("1234,-56"));
    // はい writes the line as it is.
    dialogs.answers.push_back(Answer::Yes);
    w.cmdWrite_Click();
    EXPECT_EQ(written(), QStringLiteral("1234,-56,\r\n"));
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(ReadingVerdict, TheAreasKeyWritesWithoutAskingAndTheMarksStay) {
    withoutDot();
    set(u"WRITEUNREAD", u"True");
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234,-56"));
    EXPECT_TRUE(notice(w)->isVisible());
    EXPECT_FALSE(RedColumns(w).isEmpty());
    w.cmdWrite_Click();
    EXPECT_TRUE(dialogs.confirmations.isEmpty());
    EXPECT_EQ(written(), QStringLiteral("1234,-56,\r\n"));

    // Anything but "True" asks.
    set(u"WRITEUNREAD", u"true");
    frmMain again(platform, dialogs, ini);
    again.show();
    QTRY_COMPARE(kotae(again), QStringLiteral("1234,-56"));
    again.cmdWrite_Click();
    EXPECT_EQ(dialogs.confirmations.size(), 1);
}

TEST_F(ReadingVerdict, ACompleteReadingWritesAsEverWithNothingShown) {
    frmMain w(platform, dialogs, ini);
    const int height = w.height();
    QSignalSpy closed(&w, &frmMain::closed);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("12.34,-5.6"));
    EXPECT_TRUE(w.reading().complete());
    EXPECT_FALSE(notice(w)->isVisible());
    EXPECT_EQ(w.height(), height);
    EXPECT_TRUE(RedColumns(w).isEmpty());
    w.cmdWrite_Click();
    EXPECT_TRUE(dialogs.confirmations.isEmpty());
    EXPECT_EQ(written(), QStringLiteral("12.34,-5.6,\r\n"));
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(ReadingVerdict, AnAreaOffTheScreenIsNeverReadAsWhite) {
    // Wholly off: nothing read, said, asked about.
    set(u"LEFT", u"5000");
    frmMain off(platform, dialogs, ini);
    off.show();
    QTRY_VERIFY(notice(off)->isVisible());
    EXPECT_EQ(kotae(off), QString());
    EXPECT_EQ(off.reading().verdict.grab, engine::Grab::Off);
    EXPECT_TRUE(notice(off)->text().contains(QStringLiteral("どのモニターの上にもない")));
    off.cmdWrite_Click();
    EXPECT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_TRUE(written().isEmpty());

    // Half off the right edge of the only monitor.
    set(u"LEFT", u"1240");
    frmMain half(platform, dialogs, ini);
    half.show();
    QTRY_VERIFY(notice(half)->isVisible());
    EXPECT_EQ(half.reading().verdict.grab, engine::Grab::PartlyOff);
    EXPECT_TRUE(notice(half)->text().contains(QStringLiteral("一部が画面の外")));

    // No screen to read at all.
    set(u"LEFT", u"100");
    platform.screen = QImage();
    frmMain none(platform, dialogs, ini);
    none.show();
    QTRY_VERIFY(notice(none)->isVisible());
    EXPECT_EQ(none.reading().verdict.grab, engine::Grab::Failed);
    EXPECT_TRUE(notice(none)->text().contains(QStringLiteral("画面を読み取れなかった")));
}

TEST_F(ReadingVerdict, AnotherMonitorIsToldButTheReadingWritesAsEver) {
    set(u"MONITOR", u"0,0,1920,1080");
    set(u"MONITORSCALE", u"150");
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_VERIFY(notice(w)->isVisible());
    EXPECT_EQ(kotae(w), QStringLiteral("12.34,-5.6"));
    EXPECT_TRUE(notice(w)->text().contains(QStringLiteral("1920×1080、位置 0,0、拡大率 150%")))
        << notice(w)->text().toStdString();
    EXPECT_TRUE(notice(w)->text().contains(QStringLiteral("1280×800、位置 0,0、拡大率 100%")))
        << notice(w)->text().toStdString();
    w.cmdWrite_Click();
    EXPECT_TRUE(dialogs.confirmations.isEmpty());
    EXPECT_EQ(written(), QStringLiteral("12.34,-5.6,\r\n"));

    // The monitor it was stored on: nothing to tell.
    set(u"MONITOR", u"0,0,1280,800");
    set(u"MONITORSCALE", u"100");
    frmMain same(platform, dialogs, ini);
    same.show();
    QTRY_COMPARE(kotae(same), QStringLiteral("12.34,-5.6"));
    EXPECT_FALSE(notice(same)->isVisible());
}

// The real question box: はい and いいえ, いいえ the default, Escape answers
// いいえ.
TEST(ConfirmBox, NoIsTheDefaultAndEscapeSaysNo) {
    platform::QtDialogs dialogs;
    QString defaultButton;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(
        dialogs.confirm(nullptr, QStringLiteral("書き込みますか?"), QStringLiteral("Tirelma")),
        Answer::No);
    EXPECT_EQ(defaultButton, QStringLiteral("いいえ(&N)"));
    // Enter presses the default: いいえ.
    QTimer::singleShot(0,
                       [&] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
    EXPECT_EQ(dialogs.confirm(nullptr, QStringLiteral("?"), QStringLiteral("Tirelma")), Answer::No);
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QStringLiteral("はい(&Y)")) b->click();
    });
    EXPECT_EQ(dialogs.confirm(nullptr, QStringLiteral("?"), QStringLiteral("Tirelma")),
              Answer::Yes);
}

} // namespace
