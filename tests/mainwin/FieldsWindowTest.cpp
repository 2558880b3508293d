// Several fields in one press, in the main window and the output dialog: a
// read-out of X, Y and Z stacked, read by one area with the other two as its
// fields, written as one row with the optional columns.
#include "Fakes.h"
#include "ProfileFixture.h"
#include "frmFile.h"
#include "frmMain.h"

#include "QtChecks.h"
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

using fakes::FakeDialogs;
using fakes::FakePlatform;
using mainwin::frmMain;

// The demo profile with areas X, Y and Z over the numbers of xyz.png shown
// at 100, 100; X is current and reads Y and Z after it.
class FieldsWindow : public fakes::ProfileFixture {
protected:
    FakeDialogs dialogs;
    FakePlatform platform;

    void SetUp() override {
        ProfileFixture::SetUp();
        writeDemoProfile();
        fakes::WriteXyzAreas(ini, 100, 100);
        platform.screen.fill(Qt::white);
        platform.paint(QImage(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/xyz.png")),
                       QPoint(100, 100));
    }
    // The text of a control, or "<none>".
    template <class T> static QString textOf(QWidget& w, const char* name) {
        const auto* c = w.findChild<T*>(QLatin1String(name));
        return c ? c->text() : QStringLiteral("<none>");
    }
    static QString kotae(QWidget& w) { return textOf<QLineEdit>(w, "txtKotae"); }
    static QString label(QWidget& w, const char* name) { return textOf<QLabel>(w, name); }
};

// The screen changes after every grab (a counter running): the area and
// both fields are cut from the first picture, never one from each moment,
// and a press asks the screen once.
TEST_F(FieldsWindow, EveryFieldOfAPressComesFromOnePicture) {
    const QImage xyz(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/xyz.png"));
    platform.afterGrab = [&] {
        platform.screen.fill(Qt::white); // the next moment shows nothing
    };
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("12.500 -3.250 0.000"));
    EXPECT_EQ(platform.grabs, 1);
    EXPECT_TRUE(w.readings()[1].complete() && w.readings()[2].complete());
    // F1 reads again: again one grab, now of the blank screen, for all three.
    platform.afterGrab = [&] { platform.paint(xyz, QPoint(100, 100)); };
    platform.screen.fill(Qt::white);
    w.Command1_Click();
    EXPECT_EQ(platform.grabs, 2);
    EXPECT_EQ(kotae(w), QStringLiteral("  ")); // three empty readings, joined
}

// "クリップボードにもコピー": after the line is written, the answer as the
// user left it, a field to a cell; or the whole line. Off, or a write that
// did not happen: the clipboard is left alone.
TEST_F(FieldsWindow, AWriteCopiesTheAnswerAsCellsOrTheWholeLine) {
    ini.IniWrite(u"ENDDATA", u"FILENAME", path(QStringLiteral("out.txt")).toStdU16String());
    const auto write = [&](const QString& edited) {
        platform.clipboardText = QStringLiteral("before");
        frmMain w(platform, dialogs, ini);
        w.show();
        const QDeadlineTimer until(5000);
        while (kotae(w).isEmpty() && !until.hasExpired())
            QTest::qWait(10);
        EXPECT_EQ(kotae(w), QStringLiteral("12.500 -3.250 0.000"));
        if (!edited.isEmpty()) w.findChild<QLineEdit*>(QStringLiteral("txtKotae"))->setText(edited);
        w.findChild<QLineEdit*>(QStringLiteral("txtComment"))->setText(QStringLiteral("c"));
        w.cmdWrite_Click();
        return platform.clipboardText;
    };
    EXPECT_EQ(write({}), QStringLiteral("before"));
    ini.IniWrite(u"ENDDATA", u"CLIPBOARD", u"True");
    EXPECT_EQ(write({}), QStringLiteral("12.500\t-3.250\t0.000"));
    EXPECT_EQ(write(QStringLiteral("12.5 -3.25 0")), QStringLiteral("12.5\t-3.25\t0"));
    ini.IniWrite(u"ENDDATA", u"CLIPBOARDLINE", u"True");
    EXPECT_EQ(write({}), QStringLiteral("12.500 -3.250 0.000 c"));
    // A line the result file could not take is not copied either.
    ini.IniWrite(u"ENDDATA", u"FILENAME", dir.path().toStdU16String()); // a folder, not a file
    EXPECT_EQ(write({}), QStringLiteral("before"));
    EXPECT_FALSE(dialogs.messages.empty());
}

TEST_F(FieldsWindow, OnePressShowsEveryFieldAndWritesOneRow) {
    ini.IniWrite(u"ENDDATA", u"CSV", u"True");
    ini.IniWrite(u"ENDDATA", u"TIMESTAMP", u"True");
    ini.IniWrite(u"ENDDATA", u"CSVHEADER", u"True");
    ini.IniWrite(u"ENDDATA", u"FILENAME", path(QStringLiteral("points.csv")).toStdU16String());
    for (int i = 0; i < 2; ++i) {
        frmMain w(platform, dialogs, ini);
        w.show();
        QTRY_COMPARE(kotae(w), QStringLiteral("12.500 -3.250 0.000"));
        ASSERT_EQ(w.readings().size(), 3u);
        // Each field named, with its own picture and reading; nothing wrong.
        EXPECT_EQ(label(w, "lblField0"), QStringLiteral("Y"));
        EXPECT_EQ(label(w, "lblField1"), QStringLiteral("Z"));
        EXPECT_TRUE(label(w, "txtField0").startsWith(QStringLiteral("-3.250")));
        EXPECT_EQ(label(w, "txtField1"), QStringLiteral("0.000"));
        const auto* picture = w.findChild<QLabel*>(QStringLiteral("picField1"));
        ASSERT_TRUE(picture);
        EXPECT_FALSE(picture->pixmap().isNull());
        EXPECT_FALSE(w.findChild<QLabel*>(QStringLiteral("lblKeikoku"))->isVisible());
        // The fields push the controls under the answer down; nothing overlaps.
        const QRect fields = w.findChild<QWidget*>(QStringLiteral("fraFields"))->geometry();
        EXPECT_GT(fields.height(), 0);
        EXPECT_GT(w.findChild<QLineEdit*>(QStringLiteral("txtComment"))->geometry().top(),
                  fields.bottom());
        w.findChild<QLineEdit*>(QStringLiteral("txtComment"))
            ->setText(QStringLiteral("p%1").arg(i + 1));
        w.cmdWrite_Click();
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_TRUE(dialogs.confirmations.isEmpty());
    const QStringList lines =
        Cp932(readFile(QStringLiteral("points.csv"))).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("X,Y,Z,コメント,日時")); // once, in the new file
    const QRegularExpression row(QStringLiteral(
        "^12\\.500,-3\\.250,0\\.000,p(\\d),\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$"));
    EXPECT_TRUE(row.match(lines[1]).hasMatch()) << lines[1].toStdString();
    EXPECT_EQ(row.match(lines[2]).captured(1), QStringLiteral("2"));
    EXPECT_EQ(lines[3], QString());
}

TEST_F(FieldsWindow, TheHeaderTakesTheEncodingOfAFileThatHasOnlyItsMark) {
    ini.IniWrite(u"ENDDATA", u"CSV", u"True");
    ini.IniWrite(u"ENDDATA", u"CSVHEADER", u"True");
    ini.IniWrite(u"ENDDATA", u"FILENAME", path(QStringLiteral("u.csv")).toStdU16String());
    // Saved empty as "Unicode text": the mark alone.
    writeFile(QStringLiteral("u.csv"), QByteArray("\xFF\xFE", 2));
    for (int i = 0; i < 2; ++i) {
        frmMain w(platform, dialogs, ini);
        w.show();
        QTRY_COMPARE(kotae(w), QStringLiteral("12.500 -3.250 0.000"));
        w.cmdWrite_Click();
        EXPECT_FALSE(w.isVisible());
    }
    const QByteArray bytes = readFile(QStringLiteral("u.csv"));
    ASSERT_TRUE(bytes.startsWith(QByteArray("\xFF\xFE", 2)));
    ASSERT_EQ(bytes.size() % 2, 0);
    const QString text = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    // The header once, before the first line only, all in UTF-16.
    EXPECT_EQ(text, QStringLiteral("X,Y,Z,コメント\r\n12.500,-3.250,0.000,\r\n"
                                   "12.500,-3.250,0.000,\r\n"));
}

TEST_F(FieldsWindow, StepRoundingSnapsEveryFieldWithItsOwnDelimiter) {
    ini.IniWrite(u"認識エリアY", u"区切り", u"/"); // no delimiter in its reading: unchanged
    ini.IniWrite(u"ENDDATA", u"刻み", u"0.25");
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("12.500 -3.250 0.000"));
    w.Command2_Click();
    EXPECT_EQ(kotae(w), QStringLiteral("12.5 -3.25 0"));
}

TEST_F(FieldsWindow, FieldsThatLeadNowhereOrLieOffTheScreenAreToldAndAskedAbout) {
    ini.IniWrite(u"認識エリアX", u"FIELD1", u"Gone");
    ini.IniWrite(u"認識エリアX", u"FIELD2", u"Z");
    ini.IniWrite(u"認識エリアZ", u"LEFT", u"5000"); // off the screen
    ini.IniWrite(u"ENDDATA", u"FILENAME", path(QStringLiteral("out.txt")).toStdU16String());
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("12.500 -3.250  "));
    const QString notice = label(w, "lblKeikoku");
    EXPECT_TRUE(notice.contains(QStringLiteral("「Gone」"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("「Z」"))) << notice.toStdString();
    EXPECT_FALSE(notice.contains(QStringLiteral("「X」"))) << notice.toStdString();
    EXPECT_TRUE(label(w, "txtField1").contains(QStringLiteral("ありません")));
    EXPECT_TRUE(label(w, "txtField2").contains(QStringLiteral("画面の外")));
    // Asked before writing; いいえ writes nothing and leaves the window.
    w.cmdWrite_Click();
    ASSERT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_TRUE(dialogs.confirmations[0].contains(QStringLiteral("「Gone」")));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(readFile(QStringLiteral("out.txt")).isEmpty());
}

TEST_F(FieldsWindow, AnAreaWithoutFieldsShowsNoneAndWritesAsBefore) {
    ini.IniWrite(u"ENDDATA", u"AREA", u"Y");
    ini.IniWrite(u"ENDDATA", u"FILENAME", path(QStringLiteral("out.txt")).toStdU16String());
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("-3.250"));
    EXPECT_FALSE(w.findChild<QWidget*>(QStringLiteral("fraFields"))->isVisible());
    w.cmdWrite_Click();
    EXPECT_EQ(Cp932(readFile(QStringLiteral("out.txt"))), QStringLiteral("-3.250 \r\n"));
}

TEST_F(FieldsWindow, TheOutputDialogSetsTheOptionalColumnsAndLeavesOldProfilesAlone) {
    writeDemoProfile();
    const QByteArray before = readFile(QStringLiteral("Kavoren.ini"));
    {
        mainwin::frmFile d(dialogs, ini);
        EXPECT_FALSE(d.findChild<QCheckBox*>(QStringLiteral("chkHeader"))->isChecked());
        EXPECT_FALSE(d.findChild<QCheckBox*>(QStringLiteral("chkTimeStamp"))->isChecked());
        EXPECT_FALSE(d.findChild<QCheckBox*>(QStringLiteral("chkNotice"))->isChecked());
        EXPECT_FALSE(d.findChild<QCheckBox*>(QStringLiteral("chkClipboard"))->isChecked());
        EXPECT_FALSE(d.findChild<QRadioButton*>(QStringLiteral("optClipLine"))->isEnabled());
        d.OKButton_Click();
    }
    // Nothing turned on: not a byte changed.
    EXPECT_EQ(readFile(QStringLiteral("Kavoren.ini")), before);
    {
        mainwin::frmFile d(dialogs, ini);
        d.findChild<QCheckBox*>(QStringLiteral("chkHeader"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("chkTimeStamp"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("chkNotice"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("chkClipboard"))->setChecked(true);
        EXPECT_TRUE(d.findChild<QRadioButton*>(QStringLiteral("optClipAnswer"))->isChecked());
        d.findChild<QRadioButton*>(QStringLiteral("optClipLine"))->setChecked(true);
        d.OKButton_Click();
    }
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"CLIPBOARD"), u"True");
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"CLIPBOARDLINE"), u"True");
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"CSVHEADER"), u"True");
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"TIMESTAMP"), u"True");
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"WRITENOTICE"), u"True");
    EXPECT_TRUE(frmMain(platform, dialogs, ini).output().WriteNotice);
    {
        mainwin::frmFile d(dialogs, ini);
        EXPECT_TRUE(d.findChild<QCheckBox*>(QStringLiteral("chkHeader"))->isChecked());
        d.findChild<QCheckBox*>(QStringLiteral("chkTimeStamp"))->setChecked(false);
        d.OKButton_Click();
    }
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"TIMESTAMP"), u"False");
    EXPECT_TRUE(frmMain(platform, dialogs, ini).output().CsvHeader);
}

} // namespace
