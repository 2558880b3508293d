// The tray: the Alt watch, the icon's commands, and a desktop without a
// notification area.
#include "FUMIni.h"
#include "Fakes.h"
#include "ProfileFixture.h"
#include "ProfileLayout.h"
#include "frmTskTly.h"

#include "QtChecks.h"
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

namespace {

class Tray : public fakes::ProfileFixture {
protected:
    fakes::FakePlatform platform;
    fakes::FakeDialogs dialogs;
};

platform::KeyboardState Keys(bool alt, bool other = false, bool otherPressed = false) {
    return {alt, other, false, otherPressed};
}

TEST_F(Tray, AltAloneOpensOneMainWindowAndTheWatchResumesWhenItCloses) {
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    EXPECT_TRUE(t.timer().isActive());
    platform.keyScript = {Keys(false), Keys(true), Keys(true)};
    for (int i = 0; i < 3; ++i)
        t.Timer1_Timer(); // up, then held: nothing yet
    EXPECT_EQ(t.mainWindow(), nullptr);
    EXPECT_TRUE(t.timer().isActive());

    int checks = 0;
    QTimer::singleShot(100, [&] {
        // Inside the wait for the main window: the watch is off, and asking
        // again (a double click) opens no second window.
        mainwin::frmMain* first = t.mainWindow();
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->isVisible());
        EXPECT_FALSE(t.timer().isActive());
        t.mnuAbout_Click();
        EXPECT_EQ(t.mainWindow(), first);
        EXPECT_FALSE(t.timer().isActive());
        ++checks;
        first->close();
    });
    // Released: opens, and returns when it closes, with Alt down again
    // (Alt+W, say).
    platform.keyScript = {Keys(false), Keys(true)};
    t.Timer1_Timer();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(t.mainWindow(), nullptr);
    EXPECT_TRUE(t.timer().isActive());

    // That Alt, held on and let go, opens nothing.
    platform.keyScript = {Keys(true), Keys(true, false, true), Keys(false), Keys(false)};
    while (!platform.keyScript.empty())
        t.Timer1_Timer();
    EXPECT_EQ(t.mainWindow(), nullptr);
}

// Where the system reports every key as it happens: decided at the event
// (no timer runs), Alt with another key opens nothing, and nothing opens a
// second window while one is open; with ALTDOWN an Alt still held when it
// closes opens it again at once.
TEST_F(Tray, KeysHeardAsTheyHappenAreDecidedAtTheEvent) {
    platform.keyEvents = true;
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    EXPECT_TRUE(t.hearsKeyEvents());
    EXPECT_FALSE(t.timer().isActive());
    using K = platform::KeyboardState;
    // Alt+Tab: Alt down, Tab down and up, Alt up.
    for (const K& k : {K{true, false, true, false}, K{true, true, false, true},
                       K{true, false, false, false}, K{false, false, false, false}})
        platform.send(k);
    QTest::qWait(50);
    EXPECT_EQ(t.mainWindow(), nullptr);

    int opened = 0;
    QTimer::singleShot(50, [&] {
        ASSERT_NE(t.mainWindow(), nullptr);
        ++opened;
        // Alt pressed alone again while it is open: no second window.
        platform.send({true, false, true, false});
        platform.send({false, false, false, false});
        t.mainWindow()->close();
    });
    platform.send({true, false, true, false});   // Alt down
    platform.send({false, false, false, false}); // and up: opens next
    EXPECT_EQ(t.mainWindow(), nullptr);          // not inside the event
    QTRY_COMPARE(opened, 1);
    QTest::qWait(100);
    EXPECT_EQ(t.mainWindow(), nullptr);
    EXPECT_FALSE(t.timer().isActive());

    // ALTDOWN: at once, and again when Alt is still down as it closes.
    ini.IniWrite(u"ENDDATA", u"ALTDOWN", u"True");
    platform.send({false, false, false, false}); // the mode is read on resuming
    int reopened = 0;
    QTimer::singleShot(50, [&] {
        platform.alt = true; // held as it closes
        t.mainWindow()->close();
        QTimer::singleShot(100, [&] {
            reopened += t.mainWindow() != nullptr;
            platform.alt = false;
            if (t.mainWindow()) t.mainWindow()->close();
        });
    });
    t.mnuAbout_Click(); // opens, so that the watch resumes with the new mode
    QTRY_COMPARE(reopened, 1);
    QTRY_VERIFY(t.mainWindow() == nullptr);
}

TEST_F(Tray, AltWithAnotherKeyOpensNothing) {
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    // Alt+Tab with the Tab between two ticks, then Alt with a mouse button.
    platform.keyScript = {Keys(false), Keys(true),        Keys(true, false, true),
                          Keys(false), Keys(true),        Keys(true, true),
                          Keys(true),  Keys(false, false)};
    while (!platform.keyScript.empty())
        t.Timer1_Timer();
    EXPECT_EQ(t.mainWindow(), nullptr);
    EXPECT_TRUE(t.timer().isActive());
}

TEST_F(Tray, TheProfileCanAskForTheMainWindowAsSoonAsAltIsDown) {
    writeProfile(QStringLiteral("[ENDDATA]\nALTDOWN=True\n"));
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    EXPECT_EQ(t.altTrigger().mode(), tray::AltTrigger::Mode::AtOnce);
    int opened = 0;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(50, [&] {
            ++opened;
            // Switched back by hand meanwhile: read at the next opening.
            if (opened == 2) writeProfile(QStringLiteral("[ENDDATA]\nALTDOWN=False\n"));
            t.mainWindow()->close();
        });
        platform.keyScript = {Keys(true, true)}; // Alt held, even with another key
        t.Timer1_Timer();
    }
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(t.altTrigger().mode(), tray::AltTrigger::Mode::Alone);
}

TEST_F(Tray, EachOpeningLoadsTheMainWindowAfresh) {
    tray::frmTskTly t(platform, dialogs, ini);
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(50, [&t] {
            auto* comment = t.mainWindow()->findChild<QLineEdit*>(QStringLiteral("txtComment"));
            EXPECT_TRUE(comment->text().isEmpty());
            comment->setText(QStringLiteral("typed"));
            t.mainWindow()->close();
        });
        t.mnuAbout_Click();
    }
}

TEST_F(Tray, EndClosesTheMainWindowAndAsksToQuit) {
    tray::frmTskTly t(platform, dialogs, ini);
    QSignalSpy quit(&t, &tray::frmTskTly::quitRequested);
    QTimer::singleShot(20, [&t] { emit t.mainWindow()->exitRequested(); });
    t.mnuAbout_Click();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(t.timer().isActive());
    EXPECT_FALSE(t.endedFromOutside());
}

TEST_F(Tray, AskedToEndFromOutsideItEndsAsByItsMenuEvenWithTheMainWindowOpen) {
    {
        tray::frmTskTly t(platform, dialogs, ini);
        t.start();
        ASSERT_TRUE(platform.askedToEnd);
        QSignalSpy spy(&t, &tray::frmTskTly::quitRequested);
        QTimer::singleShot(20, [this] { platform.askedToEnd(); });
        t.mnuAbout_Click(); // returns only once the main window is closed
        EXPECT_EQ(spy.count(), 1);
        EXPECT_TRUE(t.endedFromOutside()); // said so at the end
        EXPECT_EQ(t.mainWindow(), nullptr);
        EXPECT_FALSE(t.timer().isActive());
    }
    // A tray that is gone listens no more.
    EXPECT_FALSE(platform.askedToEnd);
}

TEST_F(Tray, WithoutANotificationAreaASmallWindowOffersTheCommands) {
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    EXPECT_EQ(t.icon(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(t.standIn() && t.standIn()->isVisible(), 4000);
    QSignalSpy quit(&t, &tray::frmTskTly::quitRequested);
    t.mnuEnd_Click();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(t.standIn()->isVisible());
}

// A desktop with neither a notification area nor the keys of other programs
// (GNOME as it ships): the notice of the first start keeps the keyboard
// while it is open, and the stand-in comes only once it is closed.
TEST_F(Tray, TheFirstStartsNoticeComesBeforeTheStandInNotUnderIt) {
    platform.otherAppsKeys = false;
    tray::frmTskTly t(platform, dialogs, ini);
    bool standInMeanwhile = true;
    dialogs.onMessage = [&] {
        QTest::qWait(2500); // the user reads it, past the stand-in's moment
        standInMeanwhile = t.standIn() != nullptr && t.standIn()->isVisible();
    };
    t.start();
    QTRY_COMPARE(dialogs.messages.size(), 1u);
    EXPECT_FALSE(standInMeanwhile);
    QTRY_VERIFY_WITH_TIMEOUT(t.standIn() && t.standIn()->isVisible(), 4000);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Tray, ANotificationAreaThatComesUpLaterTakesTheIconAndTheStandInGoes) {
    // Up before the stand-in would show: no stand-in at all.
    {
        tray::frmTskTly t(platform, dialogs, ini);
        t.start();
        EXPECT_EQ(t.icon(), nullptr);
        platform.trayArea = true;
        QTRY_VERIFY_WITH_TIMEOUT(t.icon() && t.icon()->isVisible(), 4000);
        QTest::qWait(1000);
        EXPECT_EQ(t.standIn(), nullptr);
    }
    // Up only after it: the icon goes in and the stand-in goes away.
    platform.trayArea = false;
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    QTRY_VERIFY_WITH_TIMEOUT(t.standIn() && t.standIn()->isVisible(), 4000);
    QTest::qWait(1500);
    EXPECT_EQ(t.icon(), nullptr);
    platform.trayArea = true;
    QTRY_VERIFY_WITH_TIMEOUT(t.icon() && t.icon()->isVisible(), 4000);
    EXPECT_FALSE(t.standIn()->isVisible());
    EXPECT_EQ(t.icon()->toolTip(), tray::kTip);
    EXPECT_TRUE(t.timer().isActive()); // Alt still watched
}

TEST_F(Tray, WhereTheMenuNeedsTheForegroundTheProgramComesForwardFirst) {
    platform.trayArea = true;
    platform.menuNeedsForeground = true;
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    ASSERT_NE(t.icon(), nullptr);
    EXPECT_EQ(t.icon()->contextMenu(), nullptr); // opened here, not by Qt
    bool menuShownAtForeground = true;
    platform.onForeground = [&] { menuShownAtForeground = t.menu()->isVisible(); };
    QCursor::setPos(600, 400);
    emit t.icon()->activated(QSystemTrayIcon::Context);
    QTRY_VERIFY(t.menu()->isVisible());
    ASSERT_EQ(platform.broughtForward.size(), 1);
    EXPECT_EQ(platform.broughtForward[0], t.formWindow());
    EXPECT_FALSE(menuShownAtForeground);
    EXPECT_FALSE(t.formWindow()->isVisible()); // the form stays invisible
    EXPECT_EQ(t.menu()->pos(), QPoint(600, 400));
    QStringList entries;
    for (const QAction* a : t.menu()->actions())
        entries << a->text();
    EXPECT_EQ(entries, (QStringList{QStringLiteral("認識フォーム表示"), QStringLiteral("終了")}));
    QSignalSpy quit(&t, &tray::frmTskTly::quitRequested);
    t.menu()->actions()[1]->trigger();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(t.icon(), nullptr);
}

TEST_F(Tray, ElsewhereQtOpensTheMenuAndNothingIsBroughtForward) {
    platform.trayArea = true;
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    ASSERT_NE(t.icon(), nullptr);
    EXPECT_EQ(t.icon()->contextMenu(), t.menu());
    emit t.icon()->activated(QSystemTrayIcon::Context);
    QTest::qWait(100);
    EXPECT_TRUE(platform.broughtForward.isEmpty());
    EXPECT_EQ(t.mainWindow(), nullptr);
}

TEST_F(Tray, OneClickOpensTheMainWindowWhereTheAreaReportsNoDoubleClick) {
    for (bool singleClickTray : {true, false}) {
        platform.singleClickTray = singleClickTray;
        platform.trayArea = true;
        tray::frmTskTly t(platform, dialogs, ini);
        t.start();
        ASSERT_NE(t.icon(), nullptr);
        bool opened = false;
        QTimer::singleShot(50, [&] {
            opened = t.mainWindow() != nullptr;
            if (t.mainWindow()) t.mainWindow()->close();
        });
        emit t.icon()->activated(QSystemTrayIcon::Trigger);
        QTest::qWait(100);
        EXPECT_EQ(opened, singleClickTray);
    }
}

TEST(TrayIcon, ClicksThatOpenTheMainWindow) {
    using R = QSystemTrayIcon::ActivationReason;
    for (R r : {R::Trigger, R::MiddleClick, R::Context, R::Unknown})
        EXPECT_FALSE(tray::OpensMainWindow(r, false));
    EXPECT_TRUE(tray::OpensMainWindow(R::DoubleClick, false));
    EXPECT_TRUE(tray::OpensMainWindow(R::Trigger, true));
    EXPECT_TRUE(tray::OpensMainWindow(R::DoubleClick, true));
    EXPECT_FALSE(tray::OpensMainWindow(R::MiddleClick, true));
}

TEST(TrayIcon, DrawnAndTipped) {
    const QIcon icon = tray::TirelmaIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(32).toImage().isNull());
    EXPECT_EQ(tray::kTip, QStringLiteral("Tirelma Altキーで実行"));
}

} // namespace

namespace {

class TriggerNotice : public fakes::ProfileFixture {
protected:
    fakes::FakePlatform platform;
    fakes::FakeDialogs dialogs;

    // The messages of one start of the program.
    std::vector<fakes::FakeDialogs::Shown> start() {
        dialogs.messages.clear();
        tray::frmTskTly t(platform, dialogs, ini);
        t.start();
        QTest::qWait(50);
        t.mnuEnd_Click();
        return dialogs.messages;
    }
};

TEST_F(TriggerNotice, WhereAltCannotBeWatchedTheFirstStartSaysHowToOpenTheMainWindow) {
    platform.otherAppsKeys = false;
    const auto first = start();
    ASSERT_EQ(first.size(), 1u);
    for (const char* says : {"tirelma --show", "GNOME", "KDE Plasma", "sway"})
        EXPECT_TRUE(first[0].text.contains(QString::fromUtf8(says))) << says;
    EXPECT_FALSE(first[0].text.contains(QStringLiteral("ポータル")));
    EXPECT_EQ(ini.IniRead(profile::kEndData, profile::kTriggerNotice), u"True");
    // Told once per profile.
    EXPECT_TRUE(start().empty());
}

TEST_F(TriggerNotice, ThePortalsQuestionIsExplainedBeforeItComes) {
    platform.otherAppsKeys = false;
    platform.throughDesktop = true;
    const auto first = start();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(first[0].text.contains(QStringLiteral("GNOME では最初の読み取りのときに")));
}

TEST_F(TriggerNotice, WhereAltWorksNothingIsSaidNorStored) {
    EXPECT_TRUE(start().empty());
    EXPECT_EQ(ini.IniRead(profile::kEndData, profile::kTriggerNotice), u"");
}

} // namespace
