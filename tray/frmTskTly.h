// The program's start-up object: the notification-area icon, its menu, and
// the Alt-key watch that opens the main window.
#pragma once

#include "AltTrigger.h"
#include "Dialogs.h"
#include "Platform.h"
#include "frmMain.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace tray {

// The program's own icon: a magnifier over two digits.
QIcon TirelmaIcon();

// The tip of the icon.
inline const QString kTip = QStringLiteral("Tirelma Altキーで実行");

// What the program tells once on a desktop where it cannot watch the Alt
// key: how to open the main window there; throughDesktop adds what the
// desktop asks before the first reading.
QString TriggerNotice(bool throughDesktop);

// Whether a click on the icon opens the main window: a double click, or the
// single activation where the notification area reports nothing else.
bool OpensMainWindow(QSystemTrayIcon::ActivationReason reason, bool singleClickTray);

class frmTskTly : public QObject {
    Q_OBJECT
public:
    // trayAvailable: whether the desktop has a notification area (asked
    // again a little later when it has none at first).
    frmTskTly(platform::Platform& platform, platform::Dialogs& dialogs,
              std::function<bool()> trayAvailable);
    ~frmTskTly() override;

    // Puts the icon in place and starts watching the Alt key.
    void start();

    // One tick of the Alt-key watch.
    void Timer1_Timer();
    // Double-click on the icon, and the menu's "認識フォーム表示".
    void mnuAbout_Click();
    // The menu's "終了": the icon goes, then the program ends.
    void mnuEnd_Click();

    QTimer& timer() { return Timer1; }
    const AltTrigger& altTrigger() const { return trigger_; }
    QSystemTrayIcon* icon() const { return icon_.get(); }
    QWidget* standIn() const { return standIn_.get(); }
    mainwin::frmMain* mainWindow() const { return main_; }

signals:
    // Asked to end the program (the icon is already gone).
    void quitRequested();

private:
    void showMain();
    // Watching again after the main window closed; the profile's Alt mode
    // is read afresh.
    void resumeWatch();
    void ensureIcon();
    void showStandIn();
    void noticeTriggerOnce();

    platform::Platform& platform_;
    platform::Dialogs& dialogs_;
    std::function<bool()> trayAvailable_;
    QTimer Timer1;
    AltTrigger trigger_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::unique_ptr<QMenu> menu0_;
    std::unique_ptr<QWidget> standIn_;
    QPointer<mainwin::frmMain> main_;
    bool quitting_ = false;
};

} // namespace tray
