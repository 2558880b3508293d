// The program's start-up object: the notification-area icon, its menu, and
// the Alt-key watch that opens the main window.
#pragma once

#include "AfterWrite.h"
#include "AltTrigger.h"
#include "Dialogs.h"
#include "Platform.h"
#include "ProfileStore.h"
#include "ReadingKeys.h"
#include "frmMain.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

class QMenu;
class QWidget;

namespace tray {

// The program's own icon: a magnifier over two digits.
QIcon TirelmaIcon();

// The tip of the icon where nobody chose keys.
inline const QString kTip = QStringLiteral("Tirelma Altキーで実行");

// The ids of the program's global keys.
constexpr int kReadKeyId = 1;
constexpr int kQuickKeyId = 2;

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
    frmTskTly(platform::Platform& platform, platform::Dialogs& dialogs,
              store::ProfileStore& profile);
    ~frmTskTly() override;

    // Puts the icon in place and starts watching the Alt key. Without a
    // notification area yet, the icon goes in as soon as one is there, and
    // meanwhile a small window offers its commands.
    void start();

    // One tick of the Alt-key watch (where the system reports no key events).
    void Timer1_Timer();
    // A key event as the system reports it, the moment it happens.
    void keyEvent(const platform::KeyboardState& keys);
    // Whether key events are heard as they happen (otherwise Timer1 polls).
    bool hearsKeyEvents() const { return keyEvents_; }
    // Double-click on the icon, and the menu's "認識フォーム表示".
    void mnuAbout_Click();
    // The menu's "終了": the icon goes, then the program ends.
    void mnuEnd_Click();

    // The quick key and `tirelma --write`: reads the current area and its
    // fields and, when every reading is complete and no field is marked,
    // writes the line as "書き込み(&W)" would and tells it briefly;
    // otherwise opens the main window as the reading key does.
    void quickWrite();
    // Takes the keys wanted (the reading-key dialog's OK): empty when they
    // are in use now, else what to tell the user, the keys in use kept.
    QString takeKeys(const mainwin::ReadingKeys& wanted);
    // The keys in use: Alt alone where the chosen one could not be taken.
    const mainwin::ReadingKeys& keys() const { return keys_; }
    // The last line told as written (the tip names it too): the quick key's,
    // and the main window's where the output settings ask for it.
    const QString& lastLine() const { return lastLine_; }
    // The typing and the command after a write.
    AfterWrite& afterWrite() { return afterWrite_; }

    // The icon's right click where the program opens its menu itself:
    // the program to the foreground first, then the menu at the pointer.
    void iconContextMenu();

    QTimer& timer() { return Timer1; }
    const AltTrigger& altTrigger() const { return trigger_; }
    QSystemTrayIcon* icon() const { return icon_.get(); }
    QWidget* standIn() const { return standIn_.get(); }
    QMenu* menu() const { return menu0_.get(); }
    // The form's own window: never shown, brought to the foreground before
    // its menu opens.
    QWidget* formWindow();
    mainwin::frmMain* mainWindow() const { return main_; }
    // Whether the end was asked from outside (the installer), not by 終了.
    bool endedFromOutside() const { return endedFromOutside_; }

signals:
    // Asked to end the program (the icon is already gone).
    void quitRequested();

private:
    void showMain();
    // Watching again after the main window closed; the profile's Alt mode
    // is read afresh.
    void resumeWatch();
    // Opens the main window for a key, once the event that asked is over.
    void openForKey();
    void ensureIcon();
    void showStandIn();
    void noticeTriggerOnce();
    // A notice of the start, once the event loop runs; the stand-in waits
    // until every such notice is closed.
    void tellAtStart(const QString& text, platform::Dialogs::Icon icon);
    // At start: the keys the profile names, each that cannot be taken said
    // once (Alt alone keeps working).
    void takeStoredKeys();
    // Takes read and quick as they are in keys; the Hotkey of the first
    // that could not be taken, with that key.
    std::pair<platform::Platform::Hotkey, QKeyCombination> hold(const mainwin::ReadingKeys& keys);
    void releaseKeys();
    void showTip();
    void told(const QString& text);
    // A line written: told, and kept in the tip.
    void toldWritten(const QString& line);

    platform::Platform& platform_;
    platform::Dialogs& dialogs_;
    store::ProfileStore& profile_;
    QTimer Timer1;
    QTimer areaWatch_; // looks for a notification area until the icon is in
    AltTrigger trigger_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::unique_ptr<QMenu> menu0_;
    std::unique_ptr<QWidget> standIn_;
    std::unique_ptr<QWidget> formWindow_;
    QPointer<mainwin::frmMain> main_;
    bool keyEvents_ = false;
    mainwin::ReadingKeys keys_; // in use
    QString lastLine_;
    bool writing_ = false; // a quick write is on its way
    int noticesPending_ = 0, noticesOpen_ = 0;
    bool standInWaiting_ = false; // until the notices of the start are closed
    bool opening_ = false;        // a key asked for the main window; it opens next
    AfterWrite afterWrite_;
    // The character groups prepared for reading, kept from one Alt to the next.
    engine::GroupReaders readers_;
    bool quitting_ = false;
    bool endedFromOutside_ = false;
};

} // namespace tray
