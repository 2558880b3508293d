// The main window's switch for the start at sign-in: it shows what the
// system has now, turns it on and off, and says so when the system refused
// or keeps it off in its own start-up list.
#include "Fakes.h"
#include "ProfileFixture.h"
#include "frmMain.h"

#include <QAction>
#include <QMenu>

namespace {

using platform::AutostartState;

class AutostartMenu : public fakes::ProfileFixture {
protected:
    fakes::FakePlatform platform;
    fakes::FakeDialogs dialogs;

    // Opens the file menu (which asks the system afresh) and gives the entry.
    static QAction* entry(mainwin::frmMain& w) {
        auto* file = w.findChild<QMenu*>(QStringLiteral("M_File"));
        emit file->aboutToShow();
        return w.findChild<QAction*>(QStringLiteral("mnuAutostart"));
    }
};

TEST_F(AutostartMenu, TheFileMenuShowsTheStateTheSystemHasNow) {
    mainwin::frmMain w(platform, dialogs, ini);
    const auto wording = platform::AutostartWording();
    auto* file = w.findChild<QMenu*>(QStringLiteral("M_File"));
    QAction* a = entry(w);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(file->actions().contains(a));
    EXPECT_TRUE(a->isCheckable());
    EXPECT_FALSE(a->isChecked());
    EXPECT_EQ(a->text(), wording.menu);

    // Changed outside the program (the desktop's settings, the installer).
    platform.autostartState = AutostartState::On;
    EXPECT_TRUE(entry(w)->isChecked());
    platform.autostartState = AutostartState::DisabledBySystem;
    EXPECT_FALSE(entry(w)->isChecked());
    EXPECT_EQ(entry(w)->text(), wording.menu + wording.disabledNote);
    platform.autostartState = AutostartState::Off;
    EXPECT_EQ(entry(w)->text(), wording.menu);
}

TEST_F(AutostartMenu, ChoosingItTurnsTheStartOnAndOffAgain) {
    mainwin::frmMain w(platform, dialogs, ini);
    entry(w)->trigger();
    EXPECT_EQ(platform.autostartState, AutostartState::On);
    EXPECT_TRUE(entry(w)->isChecked());
    entry(w)->trigger();
    EXPECT_EQ(platform.autostartState, AutostartState::Off);
    EXPECT_FALSE(entry(w)->isChecked());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AutostartMenu, AChangeTheSystemRefusesIsToldAndNotShownAsDone) {
    mainwin::frmMain w(platform, dialogs, ini);
    platform.autostartRefused = true;
    entry(w)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("自動起動の設定を変更できませんでした。"));
    EXPECT_EQ(platform.autostartState, AutostartState::Off);
    EXPECT_FALSE(entry(w)->isChecked());
}

TEST_F(AutostartMenu, TurnedOffInTheSystemsListItSaysWhereToTurnItOn) {
    mainwin::frmMain w(platform, dialogs, ini);
    platform.autostartState = AutostartState::DisabledBySystem;
    platform.autostartDisabledBySystem = true;
    entry(w)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, platform::AutostartWording().howToEnable);
    EXPECT_FALSE(entry(w)->isChecked());
}

} // namespace
