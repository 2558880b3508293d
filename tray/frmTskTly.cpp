#include "frmTskTly.h"

#include "Fields.h"
#include "MainSettings.h"
#include "PressWrite.h"
#include "ProfileLayout.h"
#include "ScreenReading.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <cstdio>

namespace tray {

namespace {

const QString kCaption = QStringLiteral("Tirelma");

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0;
    // A screen with two digits on it...
    p.setPen(QPen(QColor(30, 60, 110), 1.5 * s));
    p.setBrush(QColor(235, 242, 250));
    p.drawRoundedRect(QRectF(1.5 * s, 3 * s, 24 * s, 18 * s), 2 * s, 2 * s);
    QFont f(QStringLiteral("Monospace"));
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(true);
    f.setPixelSize(static_cast<int>(11 * s));
    p.setFont(f);
    p.setPen(QColor(20, 20, 20));
    p.drawText(QRectF(3 * s, 5 * s, 21 * s, 14 * s), Qt::AlignCenter, QStringLiteral("12"));
    // ...and a magnifier reading them.
    p.setPen(QPen(QColor(200, 60, 30), 3 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22 * s, 22 * s), QPointF(29 * s, 29 * s));
    p.setPen(QPen(QColor(200, 60, 30), 2.2 * s));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(18 * s, 18 * s), 6 * s, 6 * s);
    return pixmap;
}

} // namespace

bool OpensMainWindow(QSystemTrayIcon::ActivationReason reason, bool singleClickTray) {
    // A double click also sends a single one first: there act on the double only.
    if (reason == QSystemTrayIcon::DoubleClick) return true;
    return singleClickTray && reason == QSystemTrayIcon::Trigger;
}

QString TriggerNotice(bool throughDesktop) {
    QString text = QStringLiteral(
        "このデスクトップ (Wayland) では、ほかのアプリケーションの中で押した Alt キーを Tirelma "
        "は知ることができません。認識フォームは、通知領域のアイコンのほか、コマンド "
        "「tirelma --show」で開きます。このコマンドを好きなキーに割り当ててください。\n\n"
        "・GNOME: 設定 → キーボード → キーボードショートカットの「ショートカットを表示および"
        "カスタマイズ」→「カスタムショートカット」→「+」で、コマンドに tirelma --show\n"
        "・KDE Plasma: システム設定 → ショートカット →「新規追加」→「コマンドまたはスクリプト」"
        "で、コマンドに tirelma --show\n"
        "・sway: 設定ファイルに bindsym Mod4+r exec tirelma --show (swaymsg reload で有効)");
    if (throughDesktop)
        text += QStringLiteral(
            "\n\n画面はデスクトップの画面撮影の仕組み (ポータル) を通して読み取ります。GNOME "
            "では最初の読み取りのときに、アプリに画面の撮影を許すかどうかをデスクトップが尋ねます。"
            "「許可」を選ぶと、以後は尋ねられません。");
    return text;
}

QIcon TirelmaIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(DrawIcon(size));
    return icon;
}

frmTskTly::frmTskTly(platform::Platform& platform, platform::Dialogs& dialogs,
                     store::ProfileStore& profile)
    : platform_(platform), dialogs_(dialogs), profile_(profile),
      afterWrite_(platform, [this](const QString& text) { told(text); }) {
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &frmTskTly::Timer1_Timer);
    areaWatch_.setInterval(1000);
    connect(&areaWatch_, &QTimer::timeout, this, [this] {
        ensureIcon();
        if (icon_) areaWatch_.stop();
    });
}

frmTskTly::~frmTskTly() {
    platform_.whenAskedToEnd({});
    if (icon_) icon_->hide();
}

void frmTskTly::start() {
    menu0_ = std::make_unique<QMenu>();
    menu0_->setObjectName(QStringLiteral("menu0"));
    QAction* about = menu0_->addAction(QStringLiteral("認識フォーム表示"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    QAction* end = menu0_->addAction(QStringLiteral("終了"));
    end->setObjectName(QStringLiteral("mnuEnd"));
    connect(about, &QAction::triggered, this, &frmTskTly::mnuAbout_Click);
    connect(end, &QAction::triggered, this, &frmTskTly::mnuEnd_Click);
    // Asked from outside (the installer replacing the program): as "終了".
    platform_.whenAskedToEnd([this] {
        endedFromOutside_ = true;
        mnuEnd_Click();
    });

    // The keys heard the moment they are pressed where the system tells;
    // otherwise Timer1 looks at the keyboard every 100 ms.
    keyEvents_ =
        platform_.watchKeys([this](const platform::KeyboardState& keys) { keyEvent(keys); });
    std::fprintf(stderr, "tirelma: the reading key is heard by %s\n",
                 qPrintable(platform_.keyWatchKind()));
    takeStoredKeys();
    resumeWatch();
    ensureIcon();
    noticeTriggerOnce();
    if (!icon_) {
        // The notification area may come up after the program (a panel, or
        // the Windows taskbar, started at the same login): the icon goes in
        // once it is there. Meanwhile, after a moment, the stand-in window.
        areaWatch_.start();
        QTimer::singleShot(1500, this, [this] {
            ensureIcon();
            if (icon_ || quitting_) return;
            // One window at a time: a notice of the start still open keeps
            // the keyboard, and the stand-in comes once it is closed.
            if (noticesOpen_ > 0 || noticesPending_ > 0)
                standInWaiting_ = true;
            else
                showStandIn();
        });
    }
}

void frmTskTly::ensureIcon() {
    if (icon_ || quitting_ || !platform_.notificationAreaReady()) return;
    icon_ = std::make_unique<QSystemTrayIcon>(TirelmaIcon());
    showTip();
    const bool ownMenu = platform_.trayMenuNeedsForeground();
    if (!ownMenu) icon_->setContextMenu(menu0_.get());
    // Asked when Qt chooses where the icon goes: a D-Bus notification area
    // (StatusNotifierItem) reports one activation and never a double click.
    // Queued: the main window waits in a loop of its own, and the desktop's
    // call that reported the click (over D-Bus, say) must not wait with it.
    const bool singleClick = platform_.trayActivatesOnSingleClick();
    connect(
        icon_.get(), &QSystemTrayIcon::activated, this,
        [this, singleClick, ownMenu](QSystemTrayIcon::ActivationReason r) {
            if (OpensMainWindow(r, singleClick))
                mnuAbout_Click();
            else if (ownMenu && r == QSystemTrayIcon::Context)
                iconContextMenu();
        },
        Qt::QueuedConnection);
    icon_->show();
    if (standIn_) standIn_->hide();
}

QWidget* frmTskTly::formWindow() {
    if (!formWindow_) {
        formWindow_ = std::make_unique<QWidget>();
        formWindow_->setObjectName(QStringLiteral("frmTskTly"));
        formWindow_->setWindowTitle(kCaption);
        formWindow_->winId(); // a window of the system's, hidden
    }
    return formWindow_.get();
}

void frmTskTly::iconContextMenu() {
    if (quitting_) return;
    platform_.bringToForeground(formWindow());
    QCoreApplication::processEvents(); // the activation it brings
    menu0_->popup(QCursor::pos());
}

void frmTskTly::noticeTriggerOnce() {
    if (platform_.seesOtherAppsKeys() ||
        profile::IsTrue(profile_.IniRead(profile::kEndData, profile::kTriggerNotice)))
        return;
    profile_.IniWrite(profile::kEndData, profile::kTriggerNotice, u"True");
    tellAtStart(TriggerNotice(platform_.readsThroughDesktop()),
                platform::Dialogs::Icon::Information);
}

void frmTskTly::tellAtStart(const QString& text, platform::Dialogs::Icon icon) {
    // Once the event loop runs: a --show of the first start opens the main
    // window meanwhile.
    ++noticesPending_;
    QTimer::singleShot(0, this, [this, text, icon] {
        --noticesPending_;
        ++noticesOpen_;
        dialogs_.message(nullptr, text, kCaption, icon);
        --noticesOpen_;
        if (noticesOpen_ == 0 && noticesPending_ == 0 && standInWaiting_) {
            standInWaiting_ = false;
            ensureIcon();
            if (!icon_ && !quitting_) showStandIn();
        }
    });
}

void frmTskTly::showStandIn() {
    // Without a notification area the program says so once and offers the
    // icon's two commands in a small window of its own.
    standIn_ = std::make_unique<QWidget>(nullptr, Qt::Window);
    standIn_->setObjectName(QStringLiteral("frmTskTlyStandIn"));
    standIn_->setWindowTitle(kCaption);
    standIn_->setWindowIcon(TirelmaIcon());
    auto* layout = new QVBoxLayout(standIn_.get());
    auto* note = new QLabel(
        QStringLiteral("通知領域がないため、このウィンドウから操作します。\n") +
            (platform_.seesOtherAppsKeys()
                 ? QStringLiteral("Altキーを押すと認識フォームが開きます。")
                 : QStringLiteral(
                       "キーに割り当てた「tirelma --show」でも認識フォームが開きます。")),
        standIn_.get());
    layout->addWidget(note);
    auto* about = new QPushButton(QStringLiteral("認識フォーム表示"), standIn_.get());
    auto* end = new QPushButton(QStringLiteral("終了"), standIn_.get());
    layout->addWidget(about);
    layout->addWidget(end);
    connect(about, &QPushButton::clicked, this, &frmTskTly::mnuAbout_Click);
    connect(end, &QPushButton::clicked, this, &frmTskTly::mnuEnd_Click);
    standIn_->show();
}

void frmTskTly::takeStoredKeys() {
    const mainwin::ReadingKeys stored = mainwin::StoredKeys(profile_.reader());
    if (stored == mainwin::ReadingKeys{}) return;
    // Each on its own: a reading key taken by another program since keeps
    // neither the quick key nor Alt alone from working.
    QStringList problems;
    mainwin::ReadingKeys taken;
    // One of them: held as the only key of its id, or said why not.
    const auto take = [&](QKeyCombination& into, const mainwin::ReadingKeys& one,
                          QKeyCombination key, const QString& instead) {
        const auto [why, failed] = hold(one);
        if (why == platform::Platform::Hotkey::Taken)
            into = key;
        else
            problems << mainwin::HotkeyProblem(why, failed) + u'\n' +
                            instead.arg(mainwin::KeyName(key));
    };
    if (!stored.altAlone())
        take(taken.read, {stored.read, Qt::Key_unknown}, stored.read,
             QStringLiteral("読み取りキー「%1」が使えないため、Altキーだけで読み取ります。"));
    if (stored.hasQuick())
        take(taken.quick, {Qt::Key_unknown, stored.quick}, stored.quick,
             QStringLiteral("すぐ書き込むキー「%1」は使えません。"));
    keys_ = taken;
    if (problems.isEmpty()) return;
    // Once per start.
    tellAtStart(problems.join(QStringLiteral("\n\n")) +
                    QStringLiteral("\n\n「ﾌｧｲﾙ」の「読み取りキーの設定...」で選び直せます。"),
                platform::Dialogs::Icon::Warning);
}

std::pair<platform::Platform::Hotkey, QKeyCombination>
frmTskTly::hold(const mainwin::ReadingKeys& keys) {
    using H = platform::Platform::Hotkey;
    if (!keys.altAlone()) {
        const H why = platform_.takeHotkey(kReadKeyId, keys.read, [this] {
            // While the main window is open nothing opens a second one.
            if (!main_ && !opening_ && !quitting_) openForKey();
        });
        if (why != H::Taken) return {why, keys.read};
    }
    if (keys.hasQuick()) {
        const H why = platform_.takeHotkey(kQuickKeyId, keys.quick, [this] { quickWrite(); });
        if (why != H::Taken) return {why, keys.quick};
    }
    return {H::Taken, Qt::Key_unknown};
}

void frmTskTly::releaseKeys() {
    platform_.releaseHotkey(kReadKeyId);
    platform_.releaseHotkey(kQuickKeyId);
}

QString frmTskTly::takeKeys(const mainwin::ReadingKeys& wanted) {
    if (wanted == keys_) return {};
    // Let go first, so that two keys that change places are taken anew.
    const mainwin::ReadingKeys before = keys_;
    releaseKeys();
    if (const auto [why, key] = hold(wanted); why != platform::Platform::Hotkey::Taken) {
        releaseKeys();
        hold(before); // the program's own a moment ago
        return mainwin::HotkeyProblem(why, key);
    }
    keys_ = wanted;
    showTip();
    if (!main_ && !opening_) resumeWatch();
    return {};
}

void frmTskTly::showTip() {
    QString tip = mainwin::TrayTip(keys_);
    if (!lastLine_.isEmpty()) tip += QStringLiteral("\n最後に書き込んだ行: %1").arg(lastLine_);
    if (icon_) icon_->setToolTip(tip);
}

void frmTskTly::told(const QString& text) {
    // A few seconds, never taking the focus from where the user works.
    if (icon_)
        icon_->showMessage(kCaption, text, QSystemTrayIcon::Information, 4000);
    else if (standIn_)
        standIn_->setWindowTitle(kCaption + QStringLiteral(" - ") + text);
}

void frmTskTly::quickWrite() {
    if (main_ || opening_ || quitting_ || writing_) return;
    writing_ = true;
    // The window the user works in, for the typing after the write.
    const quintptr target = platform_.focusWindow();
    const mainwin::OutputSettings output = mainwin::ReadOutputSettings(profile_.reader());
    const engine::PressSetup press = mainwin::AriaDataGet(profile_.source(), readers_);
    std::vector<engine::Reading> readings;
    if (press.area.problems.empty()) readings = capture::ReadPress(platform_, press);
    if (readings.empty() || !engine::PressWritable(readings)) {
        // Incomplete, marked, failed, or nothing to read yet: the main
        // window reads again and shows what is wrong.
        writing_ = false;
        openForKey();
        return;
    }
    const std::u16string answer = engine::JoinReadings(readings);
    const mainwin::PressWrite written =
        mainwin::WritePress(answer, {}, readings, press, output, profile_.IniDir());
    // Where it went instead, or why it was not written, as the main window
    // would say it; no second quick write meanwhile.
    if (!written.message.isEmpty())
        dialogs_.message(nullptr, written.message, kCaption, platform::Dialogs::Icon::Warning);
    writing_ = false;
    if (!written.written()) return;
    if (const QString copy = mainwin::ClipboardText(output, answer, readings, written);
        !copy.isEmpty())
        platform_.setClipboardText(copy);
    toldWritten(QString::fromStdU16String(written.line));
    afterWrite_.deliver(mainwin::Written(output, answer, readings, written), target,
                        QString::fromStdU16String(profile_.IniDir()));
}

void frmTskTly::toldWritten(const QString& line) {
    lastLine_ = line;
    showTip();
    told(QStringLiteral("書き込みました: %1").arg(line));
}

void frmTskTly::keyEvent(const platform::KeyboardState& keys) {
    // While the main window is open nothing opens a second one; a key of
    // the user's own leaves Alt to the other programs.
    if (main_ || opening_ || quitting_ || !keys_.altAlone()) return;
    if (trigger_.tick(keys)) openForKey();
}

void frmTskTly::openForKey() {
    // Decided at the event; opened once the event's own handling is over
    // (the main window waits in a loop of its own).
    opening_ = true;
    QTimer::singleShot(0, this, [this] {
        opening_ = false;
        if (main_ || quitting_) return;
        showMain();
        resumeWatch();
    });
}

void frmTskTly::Timer1_Timer() {
    Timer1.stop();
    if (trigger_.tick(platform_.keyboard())) {
        showMain();
        resumeWatch();
    } else if (!quitting_) {
        Timer1.start();
    }
}

void frmTskTly::mnuAbout_Click() {
    if (opening_) return; // a key asked for it already: it opens next
    if (main_) {
        showMain(); // already open: only brought forward
        return;
    }
    Timer1.stop();
    showMain();
    resumeWatch();
}

void frmTskTly::resumeWatch() {
    if (quitting_) return;
    if (!keys_.altAlone()) {
        Timer1.stop();
        return;
    }
    trigger_.setMode(StoredAltMode(profile_.reader()));
    const platform::KeyboardState now = platform_.keyboard();
    trigger_.restart(now);
    if (!keyEvents_) {
        Timer1.start();
        return;
    }
    // What the first tick would have found: with ALTDOWN, an Alt still down
    // when the main window closed opens it again.
    if (trigger_.mode() == AltTrigger::Mode::AtOnce && trigger_.tick(now)) openForKey();
}

void frmTskTly::showMain() {
    if (main_) {
        // Already open (waiting above us, or shown again after the editor):
        // bring it forward rather than open a second one.
        main_->show();
        main_->raise();
        main_->activateWindow();
        return;
    }
    // Loaded afresh for every opening: every setting is read again.
    auto* window = new mainwin::frmMain(platform_, dialogs_, profile_, readers_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    main_ = window;
    window->setKeyApplier([this](const mainwin::ReadingKeys& keys) { return takeKeys(keys); });
    // The window the user works in, before the main window takes the focus.
    const quintptr target = platform_.focusWindow();
    window->setWriteHandler([this, target](const mainwin::WrittenLine& written) {
        if (written.output.WriteNotice) toldWritten(written.line);
        afterWrite_.deliver(written, target, QString::fromStdU16String(profile_.IniDir()));
    });
    connect(window, &mainwin::frmMain::exitRequested, this, &frmTskTly::mnuEnd_Click);
    window->showModal();
    main_ = nullptr; // closed; deleted once the event loop runs again
}

void frmTskTly::mnuEnd_Click() {
    if (quitting_) return;
    quitting_ = true;
    Timer1.stop();
    areaWatch_.stop();
    if (icon_) icon_->hide();
    icon_.reset();
    if (standIn_) standIn_->hide();
    if (main_) main_->close();
    emit quitRequested();
}

} // namespace tray
