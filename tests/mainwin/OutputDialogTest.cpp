// The output settings dialog and the pure rules next to it.
#include "Fakes.h"
#include "FileFilter.h"
#include "Placement.h"
#include "ProfileFixture.h"
#include "frmFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <utility>

namespace {

using mainwin::frmFile;

class OutputDialog : public fakes::ProfileFixture {
protected:
    fakes::FakeDialogs dialogs;
    template <class T> static T* child(QWidget& w, const char* name) {
        return w.findChild<T*>(QLatin1String(name));
    }
};

TEST(CsvFileName, ChangesTheExtensionOfTheFileNameOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"out.txt", "out.csv"},
        {"a.b.txt", "a.csv"},
        // A "." in a folder name leaves the folder alone, in either form of path.
        {"C:\\data.2\\res.txt", "C:\\data.2\\res.csv"},
        {"C:\\Users\\taro.yamada\\Documents\\res.txt",
         "C:\\Users\\taro.yamada\\Documents\\res.csv"},
        {"/home/taro/.local/share/res.txt", "/home/taro/.local/share/res.csv"},
        {"C:/data.2/a.b.txt", "C:/data.2/a.csv"},
        // A file name without "." stays, whatever its folders hold.
        {"C:\\data.2\\res", "C:\\data.2\\res"},
        {"/home/taro.y/", "/home/taro.y/"},
        {"noext", "noext"},
        {"", ""},
    };
    for (const auto& [name, csv] : cases)
        EXPECT_EQ(mainwin::CsvFileName(QString::fromUtf8(name)), QString::fromUtf8(csv)) << name;
}

TEST(FileFilter, PairsBecomeQtFilters) {
    EXPECT_EQ(
        platform::QtNameFilters(mainwin::kResultFileFilter),
        (QStringList{QStringLiteral("TXTファイル (*.txt)"), QStringLiteral("CSVファイル(*.csv)"),
                     QStringLiteral("すべてのファイル(*.*)")}));
}

TEST(Placement, WindowsOffEveryScreenComeBack) {
    const QList<QRect> screens{QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};
    EXPECT_EQ(mainwin::BringOntoScreens(QRect(1300, 10, 350, 180), screens),
              QRect(1300, 10, 350, 180));
    EXPECT_EQ(mainwin::BringOntoScreens(QRect(5000, 300, 350, 180), screens).topLeft(),
              QPoint(1954, 300));
    EXPECT_EQ(mainwin::BringOntoScreens(QRect(-2000, -500, 350, 180), screens).topLeft(),
              QPoint(0, 0));
    // Mostly off, but the title strip reachable: left alone.
    EXPECT_EQ(mainwin::BringOntoScreens(QRect(1200, 790, 350, 180), screens).topLeft(),
              QPoint(1200, 790));
    EXPECT_EQ(mainwin::TwipsToPixels(2040), 136);
}

TEST_F(OutputDialog, LoadShowsTheStoredSettings) {
    writeProfile(
        QStringLiteral("[ENDDATA]\nFILENAME=C:\\out.txt\nコメント前=true\n刻み=0.5\nCSV=True\n"));
    frmFile d(dialogs, ini);
    // A stored CSV setting shows the name already with its extension changed.
    EXPECT_EQ(child<QLineEdit>(d, "txtFileName")->text(), QStringLiteral("C:\\out.csv"));
    EXPECT_TRUE(child<QRadioButton>(d, "optCommentIti1")->isChecked()); // "true" is not "True"
    EXPECT_EQ(child<QLineEdit>(d, "txtKizami")->text(), QStringLiteral("0.5"));
    EXPECT_TRUE(child<QCheckBox>(d, "chkCSV")->isChecked());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Tirelma"));
}

TEST_F(OutputDialog, OkStoresTheFourSettingsInOrderAndCancelNothing) {
    {
        frmFile d(dialogs, ini);
        child<QLineEdit>(d, "txtFileName")->setText(QStringLiteral("/tmp/a.txt"));
        child<QRadioButton>(d, "optCommentIti0")->setChecked(true);
        child<QLineEdit>(d, "txtKizami")->setText(QStringLiteral("abc")); // stored as typed
        child<QCheckBox>(d, "chkCSV")->setChecked(true);
        EXPECT_EQ(child<QLineEdit>(d, "txtFileName")->text(), QStringLiteral("/tmp/a.csv"));
        child<QCheckBox>(d, "chkCSV")->setChecked(false); // unchecking changes nothing
        EXPECT_EQ(child<QLineEdit>(d, "txtFileName")->text(), QStringLiteral("/tmp/a.csv"));
        child<QPushButton>(d, "OKButton")->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_EQ(
        Cp932(readFile(QStringLiteral("Kavoren.ini"))),
        QStringLiteral(
            "[ENDDATA]\r\nFILENAME=/tmp/a.csv\r\nコメント前=True\r\n刻み=abc\r\nCSV=False\r\n"));
    const QByteArray before = readFile(QStringLiteral("Kavoren.ini"));
    {
        frmFile d(dialogs, ini);
        child<QLineEdit>(d, "txtFileName")->setText(QStringLiteral("other"));
        child<QPushButton>(d, "CancelButton")->click();
    }
    EXPECT_EQ(readFile(QStringLiteral("Kavoren.ini")), before);
}

TEST_F(OutputDialog, TypingAndCommandAreStoredOnlyOnceSetAndTheCommandOutlivesItsSwitch) {
    writeProfile(QStringLiteral("[ENDDATA]\nFILENAME=out.txt\n"));
    const auto ok = [this](const std::function<void(frmFile&)>& set) {
        frmFile d(dialogs, ini);
        set(d);
        child<QPushButton>(d, "OKButton")->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    };
    ok([](frmFile&) {});
    const QString untouched = Cp932(readFile(QStringLiteral("Kavoren.ini")));
    for (const char* key : {"TYPEINTO", "TYPEAFTER", "RUNCOMMAND", "COMMAND"})
        EXPECT_EQ(untouched.indexOf(QLatin1String(key)), -1) << key;

    const QString command = QStringLiteral("sh -c 'echo \"$TIRELMA_LINE\" >> \"log 1.txt\"'");
    ok([&](frmFile& d) {
        // What follows the typing and the command's text wait for their switch.
        EXPECT_FALSE(child<QComboBox>(d, "cboTypeAfter")->isEnabled());
        EXPECT_FALSE(child<QLineEdit>(d, "txtCommand")->isEnabled());
        child<QCheckBox>(d, "chkTypeInto")->setChecked(true);
        child<QComboBox>(d, "cboTypeAfter")->setCurrentIndex(2);
        child<QCheckBox>(d, "chkCommand")->setChecked(true);
        EXPECT_TRUE(child<QLineEdit>(d, "txtCommand")->isEnabled());
        child<QLineEdit>(d, "txtCommand")->setText(command);
    });
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"TYPEINTO"), u"True");
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"TYPEAFTER"), u"Enter");
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"RUNCOMMAND"), u"True");
    EXPECT_EQ(QString::fromStdU16String(ini.IniRead(u"ENDDATA", u"COMMAND")), command);

    ok([&](frmFile& d) {
        EXPECT_TRUE(child<QCheckBox>(d, "chkTypeInto")->isChecked());
        EXPECT_EQ(child<QComboBox>(d, "cboTypeAfter")->currentIndex(), 2);
        EXPECT_EQ(child<QLineEdit>(d, "txtCommand")->text(), command);
        child<QComboBox>(d, "cboTypeAfter")->setCurrentIndex(1);
        child<QCheckBox>(d, "chkCommand")->setChecked(false);
    });
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"TYPEAFTER"), u"Tab");
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"RUNCOMMAND"), u"False");
    EXPECT_EQ(QString::fromStdU16String(ini.IniRead(u"ENDDATA", u"COMMAND")), command);
}

TEST_F(OutputDialog, ACommandThatCouldNotRunAsStoredIsRefusedWithNothingStored) {
    writeProfile(QStringLiteral("[ENDDATA]\nFILENAME=out.txt\nCOMMAND=old\n"));
    const QByteArray before = readFile(QStringLiteral("Kavoren.ini"));
    const QString cases[] = {
        QStringLiteral("sh -c 'echo"),                // a quote left open
        QStringLiteral("   "),                        // nothing to run
        QStringLiteral("x ") + QString(260, u'a'),    // the profile would give it back cut short
        QStringLiteral("echo ") + QString(90, u'数'), // 3 bytes each in UTF-8
    };
    for (const QString& text : cases) {
        dialogs.messages.clear();
        frmFile d(dialogs, ini);
        child<QCheckBox>(d, "chkCommand")->setChecked(true);
        child<QLineEdit>(d, "txtCommand")->setText(text);
        d.OKButton_Click();
        EXPECT_NE(d.result(), QDialog::Accepted) << text.toStdString();
        ASSERT_EQ(dialogs.messages.size(), 1U) << text.toStdString();
        EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("コマンド")));
        EXPECT_EQ(readFile(QStringLiteral("Kavoren.ini")), before) << text.toStdString();
    }
    // Off, an unfinished command is only kept.
    frmFile d(dialogs, ini);
    child<QLineEdit>(d, "txtCommand")->setText(QStringLiteral("sh -c 'echo"));
    d.OKButton_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"COMMAND"), u"sh -c 'echo");
}

TEST_F(OutputDialog, TypingIsNotOfferedWhereTheDesktopTakesNoTypingAndStaysAsStored) {
    writeProfile(QStringLiteral("[ENDDATA]\nFILENAME=out.txt\nTYPEINTO=True\n"));
    frmFile d(dialogs, ini, /*typesText=*/false);
    EXPECT_FALSE(child<QCheckBox>(d, "chkTypeInto")->isEnabled());
    EXPECT_TRUE(child<QComboBox>(d, "cboTypeAfter")->isHidden());
    const auto* why = d.findChild<QLabel*>(QStringLiteral("lblNoTyping"));
    ASSERT_NE(why, nullptr);
    EXPECT_EQ(why->text(), QStringLiteral("この画面環境では使えません"));
    d.OKButton_Click();
    // Kept for the X11 or Windows session the same profile also serves.
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"TYPEINTO"), u"True");
}

TEST_F(OutputDialog, FileButtonTakesTheChosenPathOnly) {
    writeProfile(QStringLiteral("[ENDDATA]\nFILENAME=old.txt\n"));
    frmFile d(dialogs, ini);
    dialogs.fileAnswers = {QString(), QStringLiteral("/data/new.txt")};
    d.cmdFileSel_Click(); // cancelled
    EXPECT_EQ(child<QLineEdit>(d, "txtFileName")->text(), QStringLiteral("old.txt"));
    d.cmdFileSel_Click();
    EXPECT_EQ(child<QLineEdit>(d, "txtFileName")->text(), QStringLiteral("/data/new.txt"));
    ASSERT_EQ(dialogs.fileFilters.size(), 2);
    EXPECT_EQ(dialogs.fileFilters[0], mainwin::kResultFileFilter);
}

// Keys as a user gives them: the dialog shown and active, focus moved by Tab.
class OutputDialogKeys : public OutputDialog {
protected:
    std::unique_ptr<frmFile> d;
    void open() {
        d = std::make_unique<frmFile>(dialogs, ini);
        d->show();
        d->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    }
    QWidget* tabTo(const char* name) {
        for (int i = 0; i < 20 && QApplication::focusWidget()->objectName() != QLatin1String(name);
             ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget();
    }
};

TEST_F(OutputDialogKeys, TabRunsDownTheDialogFromTheFileName) {
    open();
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("txtFileName"));
    QStringList stops;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops << QApplication::focusWidget()->objectName();
    }
    // The option pair is one stop.
    ASSERT_EQ(stops.size(), 8);
    EXPECT_TRUE(stops[1].startsWith(QStringLiteral("optCommentIti"))) << stops[1].toStdString();
    stops.removeAt(1);
    EXPECT_EQ(stops, (QStringList{"cmdFileSel", "txtKizami", "chkCSV", "chkHeader", "chkTimeStamp",
                                  "chkNotice", "chkClipboard"}));
    // The outputs after them, each choice a stop once its switch is on.
    for (const char* name : {"chkClipboard", "chkTypeInto", "chkCommand"})
        d->findChild<QCheckBox*>(QLatin1String(name))->setChecked(true);
    stops.clear();
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(stops, (QStringList{"optClipAnswer", "chkTypeInto", "cboTypeAfter", "chkCommand",
                                  "txtCommand", "OKButton", "CancelButton"}));
}

TEST_F(OutputDialogKeys, EnterPressesTheFocusedButtonAndOkElsewhere) {
    writeProfile(QStringLiteral("[ENDDATA]\nFILENAME=old.txt\n"));
    open();
    child<QLineEdit>(*d, "txtFileName")->setText(QStringLiteral("typed.txt"));

    // On ファイル指定: the file dialog, and the settings dialog stays open.
    dialogs.fileAnswers = {QStringLiteral("/data/chosen.txt")};
    QTest::keyClick(tabTo("cmdFileSel"), Qt::Key_Return);
    EXPECT_EQ(dialogs.fileFilters.size(), 1);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(child<QLineEdit>(*d, "txtFileName")->text(), QStringLiteral("/data/chosen.txt"));

    // On ｷｬﾝｾﾙ: cancelled, nothing stored.
    const QByteArray before = readFile(QStringLiteral("Kavoren.ini"));
    QTest::keyClick(tabTo("CancelButton"), Qt::Key_Return);
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(readFile(QStringLiteral("Kavoren.ini")), before);

    // In a text box, after the focus has passed over the other buttons: OK.
    open();
    tabTo("CancelButton");
    QTest::keyClick(tabTo("txtKizami"), Qt::Key_Enter);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_NE(Cp932(readFile(QStringLiteral("Kavoren.ini"))).indexOf(QStringLiteral("CSV=False")),
              -1);
}

} // namespace
