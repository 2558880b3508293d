// The main window driven in-process: initialization from the profile, the
// run on showing and on F1, step rounding, writing the result line, and the
// failures it must report instead of losing the reading.
#include "DemoDesk.h"
#include "Fakes.h"
#include "ProfileFixture.h"
#include "WriteFailureNotice.h"
#include "frmFile.h"
#include "frmMain.h"

#include "QtChecks.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

namespace {

using fakes::FakeDialogs;
using fakes::FakePlatform;
using mainwin::frmMain;

class MainWindow : public fakes::DemoDesk {
protected:
    void set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
        ini.IniWrite(section, key, value);
    }
    static QLineEdit* box(QWidget& w, const char* name) {
        return w.findChild<QLineEdit*>(QLatin1String(name));
    }
    static QString kotae(QWidget& w) { return box(w, "txtKotae")->text(); }
    QString resultFile(const QString& name) { return Cp932(readFile(name)); }
};

TEST_F(MainWindow, InitReadsTheSettingsExactly) {
    set(u"ENDDATA", u"CSV", u"true"); // only "True" means yes
    set(u"ENDDATA", u"コメント前", u"True");
    set(u"ENDDATA", u"刻み", u"0.25");
    set(u"認識エリアCounter", u"CHRGROP", u"2.5");
    set(u"認識エリアCounter", u"LEFT", u"12abc");
    frmMain w(platform, dialogs, ini);
    EXPECT_FALSE(w.output().CsvMode);
    EXPECT_TRUE(w.output().CommentBefore);
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblKizami"))->text(), QStringLiteral("0.25"));
    EXPECT_EQ(w.area().settings.group, 2);
    EXPECT_EQ(w.area().settings.left, 12.0f);
    EXPECT_EQ(w.area().settings.blanks.kugiri, u",");
    EXPECT_EQ(w.areaImage().size(), QSize(76, 11));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tirelma"));
}

TEST_F(MainWindow, ShowingReadsOnceAndComingBackFromElsewhereDoesNot) {
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    const int grabs = platform.grabs;
    // The user switching back from another application is no new run.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    QTest::qWait(400);
    EXPECT_EQ(platform.grabs, grabs);
    EXPECT_EQ(w.areaImage().pixelColor(10, 5),
              QImage(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/counter.png")).pixelColor(10, 5));
}

TEST_F(MainWindow, AScreenTheDesktopRefusesIsToldAndNothingIsRead) {
    platform.refusal = QStringLiteral("the desktop said no");
    frmMain w(platform, dialogs, ini);
    w.show();
    auto* notice = w.findChild<QLabel*>(QStringLiteral("lblKeikoku"));
    QTRY_VERIFY(notice->text().contains(QStringLiteral("画面を読み取れなかった")));
    EXPECT_TRUE(notice->text().contains(QStringLiteral("the desktop said no")));
    EXPECT_FALSE(w.reading().complete());
    // No reading of a white area, no picture of one.
    EXPECT_EQ(kotae(w), QString());
    EXPECT_TRUE(w.areaImage().isNull());
    // Given again, the next run reads, and the notice goes.
    platform.refusal.clear();
    w.Command1_Click();
    EXPECT_EQ(kotae(w), QStringLiteral("1234567890"));
    EXPECT_TRUE(notice->text().isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindow, F1ReadsAgainWhereverTheFocusIs) {
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    show(QStringLiteral("small.bmp"));
    box(w, "txtComment")->setFocus();
    QTest::keyClick(box(w, "txtComment"), Qt::Key_F1);
    EXPECT_EQ(kotae(w), QStringLiteral("-0.5"));
    show(QStringLiteral("position.ppm"));
    QTest::keyClick(box(w, "txtKotae"), Qt::Key_F1);
    EXPECT_EQ(kotae(w), QStringLiteral("12.34,-5.6"));
}

TEST_F(MainWindow, StepRoundingUsesTheAreasDelimiter) {
    show(QStringLiteral("position.ppm"));
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("12.34,-5.6"));
    w.Command2_Click(); // step 0.5 in the demo profile
    EXPECT_EQ(kotae(w), QStringLiteral("12.5,-5.5"));
}

TEST_F(MainWindow, WriteAppendsTheLineAndClosesTheWindow) {
    set(u"ENDDATA", u"FILENAME", path(QStringLiteral("out.txt")).toStdU16String());
    set(u"認識エリアCounter", u"区切り", u" ");
    for (int i = 0; i < 2; ++i) {
        frmMain w(platform, dialogs, ini);
        QSignalSpy closed(&w, &frmMain::closed);
        w.show();
        QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
        box(w, "txtComment")->setText(i == 0 ? QStringLiteral("上のカウンタ") : QString());
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdWrite")), Qt::LeftButton);
        EXPECT_EQ(closed.count(), 1);
        EXPECT_FALSE(w.isVisible());
    }
    // CP932, CR LF, appended; the delimiter also stands before an empty comment.
    EXPECT_EQ(resultFile(QStringLiteral("out.txt")),
              QStringLiteral("1234567890 上のカウンタ\r\n1234567890 \r\n"));
    EXPECT_TRUE(dialogs.messages.empty());
    // The placement is saved, in twips.
    EXPECT_FALSE(ini.IniRead(u"Tirelma", u"Width").empty());
    EXPECT_FALSE(ini.IniRead(u"Tirelma", u"Top").empty());
}

// Alt+W writes the moment it is pressed: no button shown pressed for a
// while first, which would hold up the closing and all that follows it.
TEST_F(MainWindow, AltWWritesAndClosesWithinThePressItself) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows keeps the button's own click, with Alt let go over the window";
#endif
    set(u"ENDDATA", u"FILENAME", path(QStringLiteral("out.txt")).toStdU16String());
    frmMain w(platform, dialogs, ini);
    QSignalSpy closed(&w, &frmMain::closed);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    QTest::keyClick(&w, Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(resultFile(QStringLiteral("out.txt")), QStringLiteral("1234567890,\r\n"));
}

TEST_F(MainWindow, CommaSeparatedLinesAndTheDefaultFile) {
    set(u"ENDDATA", u"CSV", u"True");
    set(u"ENDDATA", u"コメント前", u"True");
    set(u"認識エリアCounter", u"区切り", u" ");
    show(QStringLiteral("position.ppm"));
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("12.34,-5.6"));
    box(w, "txtKotae")->setText(QStringLiteral("12 34")); // the user corrected the reading
    box(w, "txtComment")->setText(QStringLiteral("x y"));
    w.cmdWrite_Click();
    // No file name stored: Kavoren.csv in the program's folder.
    EXPECT_EQ(resultFile(QStringLiteral("Kavoren.csv")), QStringLiteral("x,y,12,34\r\n"));
    EXPECT_TRUE(ini.IniRead(u"ENDDATA", u"FILENAME").empty());
}

TEST_F(MainWindow, AFileInAMissingFolderFallsBackToKavorenTxtAndSaysSo) {
    set(u"ENDDATA", u"CSV", u"True");
    set(u"ENDDATA", u"FILENAME", path(QStringLiteral("no/such/folder/out.csv")).toStdU16String());
    frmMain w(platform, dialogs, ini);
    QSignalSpy closed(&w, &frmMain::closed);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    // The window closes only once the user has been told.
    dialogs.onMessage = [&] { EXPECT_EQ(closed.count(), 0); };
    w.cmdWrite_Click();
    EXPECT_EQ(resultFile(QStringLiteral("Kavoren.txt")), QStringLiteral("1234567890,\r\n"));
    EXPECT_EQ(closed.count(), 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString told = QDir::toNativeSeparators(dialogs.messages[0].text);
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(path(QStringLiteral("no/such/folder")))))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(path(QStringLiteral("Kavoren.txt")))))
        << told.toStdString();
    EXPECT_EQ(ini.IniRead(u"ENDDATA", u"FILENAME"),
              path(QStringLiteral("no/such/folder/out.csv")).toStdU16String());
}

TEST_F(MainWindow, ARelativeFileNameLiesBesideTheProfile) {
    // Not in the folder the program was started from.
    QTemporaryDir elsewhere;
    const QString started = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    set(u"ENDDATA", u"FILENAME", u"res.txt");
    {
        frmMain w(platform, dialogs, ini);
        w.show();
        QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
        w.cmdWrite_Click();
    }
    QDir::setCurrent(started);
    EXPECT_EQ(resultFile(QStringLiteral("res.txt")), QStringLiteral("1234567890,\r\n"));
    EXPECT_FALSE(QFile::exists(elsewhere.filePath(QStringLiteral("res.txt"))));
    EXPECT_TRUE(dialogs.messages.empty());
}

#ifndef _WIN32
TEST_F(MainWindow, AWindowsPathOnLinuxIsNoFolderHere) {
    set(u"ENDDATA", u"FILENAME", u"C:\\data\\r.txt");
    QTemporaryDir elsewhere;
    const QString started = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    frmMain w(platform, dialogs, ini);
    QSignalSpy closed(&w, &frmMain::closed);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    w.cmdWrite_Click();
    QDir::setCurrent(started);
    // No file named after the Windows path, anywhere; the line is in the
    // fallback file, and the user hears why.
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              (QStringList{QStringLiteral("Kavoren.ini"), QStringLiteral("Kavoren.txt")}));
    EXPECT_EQ(resultFile(QStringLiteral("Kavoren.txt")), QStringLiteral("1234567890,\r\n"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("C:\\data\\r.txt")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Windows")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(path(QStringLiteral("Kavoren.txt"))));
    EXPECT_EQ(closed.count(), 1);
}
#endif

TEST_F(MainWindow, AUnicodeResultFileTakesLinesInItsOwnEncoding) {
    set(u"ENDDATA", u"FILENAME", path(QStringLiteral("excel.txt")).toStdU16String());
    // Excel's "Unicode text": UTF-16 LE after its mark.
    const QString old = QStringLiteral("値\t備考\r\n");
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char*>(old.utf16()), old.size() * 2);
    writeFile(QStringLiteral("excel.txt"), utf16);
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    box(w, "txtComment")->setText(QStringLiteral("café 温度"));
    w.cmdWrite_Click();
    EXPECT_TRUE(dialogs.messages.empty());
    const QByteArray bytes = readFile(QStringLiteral("excel.txt"));
    ASSERT_EQ(bytes.size() % 2, 0);
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                 (bytes.size() - 2) / 2),
              old + QStringLiteral("1234567890,café 温度\r\n"));

    // A file in a form no line can be added to faithfully stays as it is,
    // and so does the window.
    const QByteArray be("\xFE\xFF\x00\x31\x00\r\x00\n", 8);
    writeFile(QStringLiteral("excel.txt"), be);
    frmMain again(platform, dialogs, ini);
    QSignalSpy closed(&again, &frmMain::closed);
    again.show();
    QTRY_COMPARE(kotae(again), QStringLiteral("1234567890"));
    again.cmdWrite_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("UTF-16 BE")));
    EXPECT_EQ(readFile(QStringLiteral("excel.txt")), be);
    EXPECT_EQ(closed.count(), 0);

    // UTF-8 without its mark: a Japanese comment would mix CP932 into it.
    const QByteArray utf8 = QStringLiteral("値,備考\r\n").toUtf8();
    writeFile(QStringLiteral("excel.txt"), utf8);
    box(again, "txtComment")->setText(QStringLiteral("温度"));
    again.cmdWrite_Click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("BOM のない UTF-8")));
    EXPECT_EQ(readFile(QStringLiteral("excel.txt")), utf8);
    box(again, "txtComment")->setText(QStringLiteral("upper"));
    again.cmdWrite_Click();
    EXPECT_EQ(readFile(QStringLiteral("excel.txt")), utf8 + "1234567890,upper\r\n");
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainWindow, AnUnwritableFileIsToldAndTheReadingStays) {
    QDir(dir.path()).mkdir(QStringLiteral("out.txt")); // a folder where the file should be
    set(u"ENDDATA", u"FILENAME", path(QStringLiteral("out.txt")).toStdU16String());
    frmMain w(platform, dialogs, ini);
    QSignalSpy closed(&w, &frmMain::closed);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    box(w, "txtComment")->setText(QStringLiteral("memo"));
    w.cmdWrite_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("書き込めませんでした")));
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(kotae(w), QStringLiteral("1234567890"));
    EXPECT_EQ(box(w, "txtComment")->text(), QStringLiteral("memo"));
    EXPECT_TRUE(ini.IniRead(u"Tirelma", u"Top").empty()); // placement not saved
}

TEST_F(MainWindow, ACharacterTheResultFileCannotHoldIsNotLost) {
    set(u"ENDDATA", u"FILENAME", path(QStringLiteral("out.txt")).toStdU16String());
    frmMain w(platform, dialogs, ini);
    QSignalSpy closed(&w, &frmMain::closed);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    box(w, "txtComment")->setText(QStringLiteral("温度〜高 café"));
    w.cmdWrite_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("シフトJIS")));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(box(w, "txtComment")->text(), QStringLiteral("温度〜高 café"));
    EXPECT_TRUE(readFile(QStringLiteral("out.txt")).isEmpty());

    // Put right, the line goes in; a wave dash and a minus sign as a Linux
    // input method types them are written as the CP932 characters meant.
    box(w, "txtComment")->setText(QStringLiteral("10〜20 −3"));
    w.cmdWrite_Click();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(readFile(QStringLiteral("out.txt")), QByteArray("1234567890,10\x81\x60"
                                                              "20 \x81\x7C"
                                                              "3\r\n"));
}

TEST_F(MainWindow, APlacementOffEveryScreenIsBroughtBack) {
    set(u"Tirelma", u"Left", u"60000"); // 4000 pixels: a monitor that is gone
    set(u"Tirelma", u"Top", u"-9000");
    frmMain w(platform, dialogs, ini);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w.frameGeometry().topLeft()))
        << w.frameGeometry().x() << "," << w.frameGeometry().y();
    set(u"Tirelma", u"Left", u"1500");
    set(u"Tirelma", u"Top", u"3000");
    w.Init();
    EXPECT_EQ(w.pos(), QPoint(100, 200));
}

TEST_F(MainWindow, AreasTooLargeOrEmptyDoNotBreakTheRun) {
    set(u"認識エリアCounter", u"WIDTH", u"100000");
    frmMain big(platform, dialogs, ini);
    big.Command1_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("大きすぎる")));
    set(u"ENDDATA", u"AREA", u"どこにもない");
    frmMain none(platform, dialogs, ini);
    none.Command1_Click();
    EXPECT_EQ(kotae(none), QString());
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(MainWindow, OutputDialogCancelledStillStartsAfresh) {
    frmMain w(platform, dialogs, ini);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    box(w, "txtComment")->setText(QStringLiteral("memo"));
    const int grabs = platform.grabs;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<mainwin::frmFile*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    w.M_F_Open_Click();
    QTRY_VERIFY(platform.grabs > grabs);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(box(w, "txtComment")->text(), QString()); // Init emptied it
    EXPECT_EQ(kotae(w), QStringLiteral("1234567890"));
}

TEST_F(MainWindow, ClipboardPictureHelpPageAndExit) {
    frmMain w(platform, dialogs, ini);
    w.ClipPast();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("BMPがありませんでした。"));
    platform.clipboard = QImage(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/small.bmp"));
    w.ClipPast();
    EXPECT_EQ(w.areaImage().size(), platform.clipboard.size());
    w.mnuHelpHelpPage_Click();
    ASSERT_EQ(platform.opened.size(), 1);
    EXPECT_TRUE(platform.opened[0].toLocalFile().endsWith(QStringLiteral("/help.html")));
    QSignalSpy exit(&w, &frmMain::exitRequested);
    w.mnuFileExit_Click();
    EXPECT_EQ(exit.count(), 1);
}

} // namespace

namespace {

TEST_F(MainWindow, ARefusedSettingIsToldOnceForABurstOfWrites) {
    mainwin::WriteFailureNotice notice(dialogs, ini);
    QFile::setPermissions(path(QStringLiteral("Kavoren.ini")), QFile::ReadOwner | QFile::ReadGroup);
    {
        frmMain w(platform, dialogs, ini);
        w.show();
        QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
        set(u"ENDDATA", u"FILENAME",
            path(QStringLiteral("out.txt")).toStdU16String()); // refused too
    }
    EXPECT_EQ(dialogs.messages.size(), 0u); // not in the middle of the writes
    QTRY_COMPARE(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs.messages[0].text.contains(QStringLiteral("設定ファイルに書き込めませんでした")));
    // Saving a placement writes four keys: still one message.
    dialogs.messages.clear();
    FUMIni::FormPosSave(ini, u"Tirelma", {1, 2, 3, 4});
    QTest::qWait(50);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    // A name the file cannot hold says so.
    const auto text = mainwin::WriteFailureNotice::Text(
        {settings::WriteStatus::BadName, u"認識エリアa]b", u"LEFT", u"1"}, QString());
    EXPECT_TRUE(text.contains(QStringLiteral("保存できない文字")));
}

TEST_F(MainWindow, AProfileInUtf16BigEndianIsReadAndNeverWritten) {
    mainwin::WriteFailureNotice notice(dialogs, ini);
    const QByteArray demo = readFile(QStringLiteral("Kavoren.ini"));
    const std::u16string text = settings::Decode(settings::FileEncoding::Cp932, demo.toStdString());
    const std::string big = std::string(settings::kUtf16BeBom) +
                            settings::Utf16Bytes(settings::FileEncoding::Utf16Be, text);
    writeFile(QStringLiteral("Kavoren.ini"), QByteArray::fromStdString(big));
    {
        frmMain w(platform, dialogs, ini);
        w.show();
        QTRY_COMPARE(kotae(w), QStringLiteral("1234567890")); // the area and its group are read
        w.cmdWrite_Click();                                   // saves the placement
    }
    QTRY_COMPARE(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("UTF-16 LE")));
    EXPECT_EQ(readFile(QStringLiteral("Kavoren.ini")).toStdString(), big);
}

} // namespace

TEST_F(MainWindow, BlanksWiderThanTheAreasWidthPutItsDelimiterIntoTheReading) {
    // "12", four white columns more than usual, "34567890".
    const QImage line(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/counter.png"));
    platform.screen.fill(Qt::white);
    platform.paint(line.copy(0, 0, 14, line.height()), QPoint(100, 100));
    platform.paint(line.copy(14, 0, line.width() - 14, line.height()), QPoint(118, 100));
    set(u"認識エリアCounter", u"WIDTH", u"90");
    {
        frmMain w(platform, dialogs, ini); // no blank width stored: read as it always was
        w.show();
        QTRY_COMPARE(kotae(w), QStringLiteral("1234567890"));
    }
    set(u"認識エリアCounter", u"BLANKWIDTH", u"3");
    frmMain w(platform, dialogs, ini);
    EXPECT_EQ(w.area().settings.blanks.minGap, 3);
    w.show();
    QTRY_COMPARE(kotae(w), QStringLiteral("12,34567890"));
    set(u"ENDDATA", u"刻み", u"5");
    w.Init();
    w.Command1_Click();
    w.Command2_Click(); // the numbers are snapped one by one
    EXPECT_EQ(kotae(w), QStringLiteral("10,34567890"));
}

TEST_F(MainWindow, FirstStepsAreToldBelowTheWindowNotInTheAnswer) {
    const auto hint = [](frmMain& w) {
        auto* l = w.findChild<QLabel*>(QStringLiteral("lblAnnai"));
        return l->isVisibleTo(&w) ? l->text() : QString();
    };
    {
        frmMain w(platform, dialogs, ini); // everything in place
        const QSize plain = w.size();
        EXPECT_EQ(hint(w), QString());
        QFile::remove(path(QStringLiteral("Kavoren.ini")));
        w.Init();
        EXPECT_TRUE(
            hint(w).startsWith(QStringLiteral("読み取る場所 (認識エリア) がまだありません。")))
            << hint(w).toStdString();
        EXPECT_GT(w.height(), plain.height());
        w.show();
        QTest::qWait(400); // the run on showing
        EXPECT_EQ(kotae(w), QString());
        auto* l = w.findChild<QLabel*>(QStringLiteral("lblAnnai"));
        EXPECT_TRUE(QRect(QPoint(0, 0), w.size()).contains(l->geometry()));
    }
    SetUp();
    set(u"認識エリアCounter", u"WIDTH", u"0");
    {
        frmMain w(platform, dialogs, ini);
        EXPECT_TRUE(hint(w).startsWith(QStringLiteral("認識エリア「Counter」の位置と大きさ")));
    }
    set(u"認識エリアCounter", u"WIDTH", u"76");
    set(u"Chr", u"G0ALLCHR", u"");
    {
        frmMain w(platform, dialogs, ini);
        EXPECT_TRUE(hint(w).contains(QStringLiteral("まだ文字が登録されていません")));
    }
    set(u"ENDDATA", u"AREA", u"Elsewhere"); // named, but never stored
    {
        frmMain w(platform, dialogs, ini);
        EXPECT_TRUE(hint(w).startsWith(QStringLiteral("読み取る場所")));
    }
    // A group no 32-bit number names: said so, and read with no characters
    // rather than with group 0's.
    SetUp();
    set(u"認識エリアCounter", u"CHRGROP", u"1e10");
    {
        frmMain w(platform, dialogs, ini);
        EXPECT_TRUE(
            hint(w).contains(QStringLiteral("キャラクタグループの番号 (CHRGROP) が使えない値")))
            << hint(w).toStdString();
        w.show();
        QTRY_VERIFY(!w.reading().chars.empty() || !w.reading().verdict.unread.empty());
        EXPECT_EQ(kotae(w), QString());
        EXPECT_FALSE(w.reading().complete());
    }
    // A group without characters, whether no list names it or it is negative.
    for (const char16_t* group : {u"-1", u" 3"}) {
        set(u"認識エリアCounter", u"CHRGROP", group);
        frmMain w(platform, dialogs, ini);
        EXPECT_TRUE(hint(w).contains(QStringLiteral("まだ文字が登録されていません")));
    }
}
