// The tray: the Alt watch, the icon's commands, and a desktop without a
// notification area.
#include "Fakes.h"
#include "ProfileFixture.h"
#include "frmTskTly.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

class Tray : public fakes::ProfileFixture {
protected:
    fakes::FakePlatform platform;
    fakes::FakeDialogs dialogs;
};

TEST_F(Tray, AltOpensOneMainWindowAndTheWatchResumesWhenItCloses) {
    tray::frmTskTly t(platform, dialogs, [] { return false; });
    t.timer().start();
    t.Timer1_Timer(); // Alt up: nothing
    EXPECT_EQ(t.mainWindow(), nullptr);
    EXPECT_TRUE(t.timer().isActive());

    platform.alt = true;
    int checks = 0;
    QTimer::singleShot(100, [&] {
        // Inside the wait for the main window: the watch is off, and asking
        // again (Alt still held, a double click) opens no second window.
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
    t.Timer1_Timer();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(t.mainWindow(), nullptr);
    EXPECT_TRUE(t.timer().isActive()); // Alt still down opens it again at the next tick
}

TEST_F(Tray, EachOpeningLoadsTheMainWindowAfresh) {
    tray::frmTskTly t(platform, dialogs, [] { return false; });
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
    tray::frmTskTly t(platform, dialogs, [] { return false; });
    QSignalSpy quit(&t, &tray::frmTskTly::quitRequested);
    QTimer::singleShot(20, [&t] { emit t.mainWindow()->exitRequested(); });
    t.mnuAbout_Click();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(t.timer().isActive());
}

TEST_F(Tray, WithoutANotificationAreaASmallWindowOffersTheCommands) {
    tray::frmTskTly t(platform, dialogs, [] { return false; });
    t.start();
    EXPECT_EQ(t.icon(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(t.standIn() && t.standIn()->isVisible(), 4000);
    QSignalSpy quit(&t, &tray::frmTskTly::quitRequested);
    t.mnuEnd_Click();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(t.standIn()->isVisible());
}

TEST(TrayIcon, DrawnAndTipped) {
    const QIcon icon = tray::TirelmaIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(32).toImage().isNull());
    EXPECT_EQ(tray::kTip, QStringLiteral("Tirelma Altキーで実行"));
}

} // namespace
