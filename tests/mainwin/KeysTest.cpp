// The keys of the user's own: the reading key in place of Alt, the quick key
// that reads and writes at once, the dialog that chooses them, and what the
// profile keeps of them.
#include "DemoDesk.h"
#include "Fakes.h"
#include "ProfileFixture.h"
#include "ProfileLayout.h"
#include "ReadingKeys.h"
#include "frmKey.h"
#include "frmTskTly.h"

#include "QtChecks.h"
#include <QAction>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

using mainwin::ReadingKeys;

const QKeyCombination kCtrlShiftF9 = Qt::CTRL | Qt::SHIFT | Qt::Key_F9;
const QKeyCombination kCtrlF5 = Qt::CTRL | Qt::Key_F5;
const QKeyCombination kF8 = QKeyCombination(Qt::Key_F8);

profile::Reader Profile(std::u16string read, std::u16string quick) {
    return [read, quick](std::u16string_view s, std::u16string_view k) -> std::u16string {
        if (s != profile::kEndData) return {};
        if (k == profile::kReadKey) return read;
        if (k == profile::kQuickKey) return quick;
        return {};
    };
}

TEST(ReadingKeys, StoredOnlyOnceChosenAndReadBackAsChosen) {
    // Nobody chose: Alt alone, no quick key, and nothing to store.
    const ReadingKeys none = mainwin::StoredKeys(Profile({}, {}));
    EXPECT_TRUE(none.altAlone());
    EXPECT_FALSE(none.hasQuick());
    EXPECT_TRUE(mainwin::KeyWrites(none, Profile({}, {})).empty());
    EXPECT_EQ(mainwin::TrayTip(none), tray::kTip);

    // Chosen: only what changed is written, and it reads back the same.
    const ReadingKeys chosen{kCtrlShiftF9, kF8};
    const auto writes = mainwin::KeyWrites(chosen, Profile({}, {}));
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].key, profile::kReadKey);
    EXPECT_EQ(writes[0].value, u"Ctrl+Shift+F9");
    EXPECT_EQ(writes[1].value, u"F8");
    EXPECT_EQ(mainwin::StoredKeys(Profile(writes[0].value, writes[1].value)), chosen);
    EXPECT_TRUE(mainwin::KeyWrites(chosen, Profile(u"Ctrl+Shift+F9", u"F8")).empty());
    // Back to Alt alone and no quick key: said so, not left behind.
    const auto back = mainwin::KeyWrites(none, Profile(u"Ctrl+Shift+F9", u"F8"));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].value, u"Alt");
    EXPECT_EQ(back[1].value, u"");
    EXPECT_EQ(mainwin::TrayTip(chosen), QStringLiteral("Tirelma %1キーで実行、F8キーで書き込み")
                                            .arg(mainwin::KeyName(kCtrlShiftF9)));

    // Hand-edited: anything that is not one usable combination is none.
    for (const std::u16string bad :
         {u"Ctrl+Shift+F9, Ctrl+A", u"A", u"Shift+A", u"Ctrl", u"nonsense", u"Ctrl+"})
        EXPECT_EQ(mainwin::StoredKeys(Profile(bad, bad)), ReadingKeys{})
            << std::string(bad.begin(), bad.end());
}

TEST(ReadingKeys, AGlobalKeyIsOneThatTypesNothing) {
    EXPECT_TRUE(mainwin::UsableKey(kF8));
    EXPECT_TRUE(mainwin::UsableKey(Qt::CTRL | Qt::Key_A));
    EXPECT_TRUE(mainwin::UsableKey(Qt::META | Qt::Key_R));
    EXPECT_TRUE(mainwin::UsableKey(Qt::ALT | Qt::SHIFT | Qt::Key_1));
    EXPECT_FALSE(mainwin::UsableKey(QKeyCombination(Qt::Key_A)));
    EXPECT_FALSE(mainwin::UsableKey(Qt::SHIFT | Qt::Key_A));
    EXPECT_FALSE(mainwin::UsableKey(Qt::CTRL | Qt::Key_Control));
    EXPECT_FALSE(mainwin::UsableKey(QKeyCombination(Qt::Key_unknown)));
}

// The demo area over the demo reading, and a notification area for the icon.
class Keys : public fakes::DemoDesk {
protected:
    void SetUp() override {
        DemoDesk::SetUp();
        platform.trayArea = true;
        platform.keyEvents = true;
    }
    // Alt pressed alone and let go, as the system reports it.
    void altAlone() {
        platform.send({true, false, true, false});
        platform.send({false, false, false, false});
    }
    // Runs press and counts the main windows it opens, closing each; none
    // may open inside press itself (the key's own event).
    int opens(tray::frmTskTly& t, const std::function<void()>& press,
              const std::function<void()>& whileOpen = {}, bool waitForOne = true) {
        int n = 0;
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (t.mainWindow() && t.mainWindow()->isVisible()) {
                ++n;
                if (whileOpen) whileOpen();
                if (t.mainWindow()) t.mainWindow()->close();
            }
        });
        closer.start();
        press();
        EXPECT_EQ(t.mainWindow(), nullptr);
        // The first one waited for (up to 5 s); a moment more for a second.
        const QDeadlineTimer until(5000);
        while (n == 0 && waitForOne && !until.hasExpired())
            QTest::qWait(10);
        QTest::qWait(100);
        return n;
    }
    // The same where none should open: no waiting for the first one.
    int opensNone(tray::frmTskTly& t, const std::function<void()>& press) {
        return opens(t, press, {}, false);
    }
    QStringList lines(const QString& name) {
        return Cp932(readFile(name)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

TEST_F(Keys, AChosenReadingKeyTakesAltsPlaceAndAKeyHeldElsewhereKeepsTheOldOne) {
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    EXPECT_TRUE(platform.hotkeys.empty()); // Alt alone: no key taken from anyone
    EXPECT_EQ(t.takeKeys({kCtrlShiftF9, Qt::Key_unknown}), QString());
    EXPECT_EQ(t.icon()->toolTip(), mainwin::TrayTip(t.keys()));
    EXPECT_NE(t.icon()->toolTip(), tray::kTip);

    // Alt alone is left to the other programs now.
    EXPECT_EQ(opensNone(t, [&] { altAlone(); }), 0);
    // The key opens the main window, once, and the dialog is offered there.
    EXPECT_EQ(
        opens(
            t, [&] { ASSERT_TRUE(platform.pressKey(kCtrlShiftF9)); },
            [&] {
                EXPECT_TRUE(
                    t.mainWindow()->findChild<QAction*>(QStringLiteral("M_F_Key"))->isVisible());
                platform.pressKey(kCtrlShiftF9); // open already: no second one
                QTest::qWait(50);
            }),
        1);

    // Held by another program: said, and the key in use stays the program's.
    platform.heldElsewhere = {kCtrlF5};
    const QString problem = t.takeKeys({kCtrlF5, Qt::Key_unknown});
    EXPECT_TRUE(problem.contains(QStringLiteral("ほかのプログラムが使っている")))
        << problem.toStdString();
    EXPECT_EQ(t.keys().read, kCtrlShiftF9);
    ASSERT_EQ(platform.hotkeys.count(tray::kReadKeyId), 1u);
    EXPECT_EQ(platform.hotkeys[tray::kReadKeyId].first, kCtrlShiftF9);
    // A quick key held elsewhere undoes the whole change.
    EXPECT_FALSE(t.takeKeys({kF8, kCtrlF5}).isEmpty());
    EXPECT_EQ(t.keys(), (ReadingKeys{kCtrlShiftF9, Qt::Key_unknown}));
    EXPECT_EQ(platform.hotkeys.size(), 1u);

    // Two keys that change places are both taken.
    EXPECT_EQ(t.takeKeys({kF8, kCtrlShiftF9}), QString());
    EXPECT_EQ(t.takeKeys({kCtrlShiftF9, kF8}), QString());
    EXPECT_EQ(platform.hotkeys[tray::kReadKeyId].first, kCtrlShiftF9);
    EXPECT_EQ(platform.hotkeys[tray::kQuickKeyId].first, kF8);

    // Back to Alt alone: every key let go, Alt opens again.
    EXPECT_EQ(t.takeKeys({}), QString());
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_EQ(opens(t, [&] { altAlone(); }), 1);
}

TEST_F(Keys, AStoredKeyTakenSinceIsSaidOnceAndAltKeepsWorking) {
    ini.IniWrite(profile::kEndData, profile::kReadKey, u"Ctrl+Shift+F9");
    ini.IniWrite(profile::kEndData, profile::kQuickKey, u"F8");
    platform.heldElsewhere = {kCtrlShiftF9};
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    QTRY_COMPARE(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Altキーだけで読み取ります")));
    // The quick key was free, and is the program's.
    EXPECT_EQ(t.keys(), (ReadingKeys{Qt::Key_unknown, kF8}));
    EXPECT_EQ(t.icon()->toolTip(), mainwin::TrayTip(t.keys()));
    // The profile keeps what the user chose.
    EXPECT_EQ(ini.IniRead(profile::kEndData, profile::kReadKey), u"Ctrl+Shift+F9");
    EXPECT_EQ(opens(t, [&] { altAlone(); }), 1);
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // Where the desktop takes no keys from programs, the user is told how.
    fakes::FakePlatform wayland;
    wayland.hotkeysSupported = false;
    fakes::FakeDialogs told;
    tray::frmTskTly w(wayland, told, ini);
    w.start();
    QTRY_COMPARE(told.messages.size(), 1u);
    EXPECT_TRUE(told.messages[0].text.contains(QStringLiteral("tirelma --show")));
    EXPECT_TRUE(told.messages[0].text.contains(QStringLiteral("tirelma --write")));
}

TEST_F(Keys, TheQuickKeyWritesAWholeReadingUnseenExactlyAsTheWriteButtonWould) {
    ini.IniWrite(profile::kEndData, profile::kFileName,
                 path(QStringLiteral("out.csv")).toStdU16String());
    ini.IniWrite(profile::kEndData, profile::kCsv, u"True");
    ini.IniWrite(profile::kEndData, profile::kCsvHeader, u"True");
    ini.IniWrite(profile::kEndData, profile::kQuickKey, u"F8");
    ini.IniWrite(profile::kEndData, profile::kClipboard, u"True");
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    ASSERT_TRUE(platform.pressKey(kF8));
    EXPECT_EQ(platform.clipboardText, QStringLiteral("1234567890")); // copied as well
    EXPECT_EQ(t.mainWindow(), nullptr);
    QTest::qWait(50);
    EXPECT_EQ(t.mainWindow(), nullptr); // and none opens after
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(lines(QStringLiteral("out.csv")).size(), 2); // the header, then the line
    EXPECT_EQ(t.lastLine(), lines(QStringLiteral("out.csv"))[1]);
    EXPECT_TRUE(t.lastLine().startsWith(QStringLiteral("1234567890")));
    EXPECT_TRUE(t.icon()->toolTip().contains(t.lastLine()));

    // The same press through the main window's button: the same line.
    QTimer::singleShot(50, [&] {
        ASSERT_NE(t.mainWindow(), nullptr);
        QTRY_VERIFY(!t.mainWindow()->readings().front().text.empty());
        t.mainWindow()->cmdWrite_Click();
    });
    t.mnuAbout_Click();
    const QStringList written = lines(QStringLiteral("out.csv"));
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(written[2], written[1]);
}

// "書き込んだら通知": the main window's lines are told too, once it is on.
TEST_F(Keys, TheWriteButtonsLinesAreToldWhereTheSettingsAskForIt) {
    ini.IniWrite(profile::kEndData, profile::kFileName,
                 path(QStringLiteral("out.txt")).toStdU16String());
    tray::frmTskTly t(platform, dialogs, ini);
    t.start();
    const auto writeOnce = [&](const QString& comment) {
        QTimer::singleShot(50, [&, comment] {
            ASSERT_NE(t.mainWindow(), nullptr);
            QTRY_VERIFY(!t.mainWindow()->readings().front().text.empty());
            t.mainWindow()->findChild<QLineEdit*>(QStringLiteral("txtComment"))->setText(comment);
            t.mainWindow()->cmdWrite_Click();
        });
        t.mnuAbout_Click();
    };
    writeOnce(QStringLiteral("off"));
    EXPECT_TRUE(t.lastLine().isEmpty());
    EXPECT_EQ(t.icon()->toolTip(), tray::kTip);
    ini.IniWrite(profile::kEndData, profile::kWriteNotice, u"True");
    writeOnce(QStringLiteral("on"));
    const QStringList written = lines(QStringLiteral("out.txt"));
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(t.lastLine(), written[1]);
    EXPECT_TRUE(t.lastLine().endsWith(QStringLiteral("on")));
    EXPECT_TRUE(t.icon()->toolTip().contains(t.lastLine()));
}

TEST_F(Keys, AnythingToLookAtOpensTheMainWindowInsteadOfWriting) {
    ini.IniWrite(profile::kEndData, profile::kFileName,
                 path(QStringLiteral("out.txt")).toStdU16String());
    ini.IniWrite(profile::kEndData, profile::kQuickKey, u"F8");
    // A character nobody taught over the reading, then nothing at all.
    QImage blot(6, 9, QImage::Format_RGB32);
    blot.fill(Qt::black);
    for (const auto& paint :
         std::vector<std::function<void()>>{[&] { platform.paint(blot, QPoint(130, 101)); },
                                            [&] { platform.screen.fill(Qt::white); }}) {
        paint();
        tray::frmTskTly t(platform, dialogs, ini);
        t.start();
        EXPECT_EQ(opens(t, [&] { ASSERT_TRUE(platform.pressKey(kF8)); }), 1);
        EXPECT_TRUE(t.lastLine().isEmpty());
    }
    EXPECT_TRUE(readFile(QStringLiteral("out.txt")).isEmpty());
}

// The dialog, as the user fills it.
class KeyDialog : public fakes::ProfileFixture {
protected:
    fakes::FakeDialogs dialogs;
    QList<ReadingKeys> asked;
    QString refusal; // what the resident part answers
    mainwin::KeyApplier apply = [this](const ReadingKeys& k) {
        asked.append(k);
        return refusal;
    };
    template <class T> static T* child(QWidget& w, const char* name) {
        return w.findChild<T*>(QLatin1String(name));
    }
};

TEST_F(KeyDialog, OKTakesTheKeysThenStoresThemAndARefusalStoresNothing) {
    {
        mainwin::frmKey d(dialogs, ini, apply);
        // Nothing stored: Alt alone, no quick key.
        EXPECT_TRUE(child<QRadioButton>(d, "optAlt")->isChecked());
        EXPECT_FALSE(child<QCheckBox>(d, "chkQuick")->isChecked());
        // Pressing a combination chooses it.
        child<QKeySequenceEdit>(d, "txtKey")->setKeySequence(QKeySequence(kCtrlShiftF9));
        EXPECT_TRUE(child<QRadioButton>(d, "optKey")->isChecked());
        refusal = QStringLiteral("「Ctrl+Shift+F9」はほかのプログラムが使っているため使えません。");
        d.OKButton_Click();
        EXPECT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages.back().text, refusal);
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        EXPECT_TRUE(ini.IniRead(profile::kEndData, profile::kReadKey).empty());

        refusal.clear();
        d.OKButton_Click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        ASSERT_EQ(asked.size(), 2);
        EXPECT_EQ(asked.back(), (ReadingKeys{kCtrlShiftF9, Qt::Key_unknown}));
    }
    EXPECT_EQ(ini.IniRead(profile::kEndData, profile::kReadKey), u"Ctrl+Shift+F9");
    // Only what the user changed: no quick key was ever chosen.
    EXPECT_FALSE(
        Cp932(readFile(QStringLiteral("Kavoren.ini"))).contains(QStringLiteral("QUICKKEY")));

    // Shown again as stored.
    mainwin::frmKey again(dialogs, ini, apply);
    EXPECT_TRUE(child<QRadioButton>(again, "optKey")->isChecked());
    EXPECT_EQ(child<QKeySequenceEdit>(again, "txtKey")->keySequence(), QKeySequence(kCtrlShiftF9));
}

TEST_F(KeyDialog, KeysThatTypeOrRepeatAreRefusedBeforeAnythingIsTaken) {
    mainwin::frmKey d(dialogs, ini, apply);
    child<QRadioButton>(d, "optKey")->setChecked(true);
    d.OKButton_Click(); // no combination pressed yet
    child<QKeySequenceEdit>(d, "txtKey")->setKeySequence(QKeySequence(Qt::SHIFT | Qt::Key_A));
    d.OKButton_Click(); // a capital A is typing
    child<QKeySequenceEdit>(d, "txtKey")->setKeySequence(QKeySequence(kF8));
    child<QKeySequenceEdit>(d, "txtQuick")->setKeySequence(QKeySequence(kF8));
    EXPECT_TRUE(child<QCheckBox>(d, "chkQuick")->isChecked());
    d.OKButton_Click(); // one key for both
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("押してください")));
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("できません")));
    EXPECT_TRUE(dialogs.messages[2].text.contains(QStringLiteral("別のキー")));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_NE(d.result(), QDialog::Accepted);

    // Combinations pressed in a row: the last one is the key.
    auto* box = child<QKeySequenceEdit>(d, "txtQuick");
    box->setFocus();
    box->clear();
    QTest::keyClick(box, Qt::Key_F5, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_F6, Qt::ControlModifier);
    QTRY_COMPARE(box->keySequence(), QKeySequence(Qt::CTRL | Qt::Key_F6));
    d.OKButton_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], (ReadingKeys{kF8, Qt::CTRL | Qt::Key_F6}));
}

} // namespace
