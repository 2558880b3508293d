// What the operating system gives the windows, behind one interface: the
// X11 and Windows implementations live in platform/x11 and platform/win, a
// null one (no screen, no key state) in platform/null, and tests hand in
// fakes through the windows' constructors.
//
// Pixels: every rectangle and point here is in physical screen pixels of the
// whole desktop, (0, 0) at the top-left of the primary screen (monitors left
// of or above it have negative coordinates), whatever scale factor Qt uses
// for drawing. Images come back as QImage::Format_RGB32, one image pixel per
// screen pixel.
#pragma once

#include "Autostart.h"

#include <QImage>
#include <QKeyCombination>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace platform {

// The keyboard as the Alt watch sees it. "Since the previous call" is what
// the system can tell: exact where it reports every key event, otherwise
// only what is down at the moment of each call.
struct KeyboardState {
    bool altDown = false;      // an Alt key is down now
    bool otherDown = false;    // another key or a mouse button is down now
    bool altPressed = false;   // an Alt key went down since the previous call
    bool otherPressed = false; // another key or a mouse button went down since then
};

class Platform {
public:
    virtual ~Platform() = default;

    // A copy of each screen rectangle, all of one moment (one request to
    // the X server while no other client draws, one copy of the desktop's
    // picture elsewhere), of the screens as they are now (also after
    // monitors were added or the resolution changed): the fields of one
    // press are never pictures of different moments. Parts that lie outside
    // every screen read as white; an empty rectangle gives an empty image.
    // Where the system refuses or fails to give the pixels (a Wayland
    // desktop may, an X server may while its screen changes), null images,
    // and grabFailure() says why where it knows.
    virtual QList<QImage> grabScreens(const QList<QRect>& rects) = 0;
    // One rectangle.
    QImage grabScreen(const QRect& rect) { return grabScreens({rect}).value(0); }
    // Why the latest grab gave no picture; empty after one that worked.
    virtual QString grabFailure() { return {}; }
    // Whether the pixels come through the desktop, which may ask the user
    // whether the program may read the screen (the portal on GNOME).
    virtual bool readsThroughDesktop() { return false; }

    // Every monitor, the primary one first (at (0, 0)).
    virtual QList<QRect> screens() = 0;

    // The primary screen; empty when there is no screen at all.
    QRect primaryScreen() {
        const QList<QRect> all = screens();
        return all.isEmpty() ? QRect() : all.front();
    }

    // Where the desktop puts its monitors for windows, where that is not
    // where their pixels are (Wayland: the compositor's layout in logical
    // pixels, each monitor at a scale of its own); empty where windows and
    // pixels share one layout (X11, Windows). name is Qt's name of the
    // monitor (QScreen::name()).
    struct WindowScreen {
        QString name;
        QRect logical;
        QRect physical;
        double scale = 1; // physical pixels per logical pixel
    };
    virtual QList<WindowScreen> windowLayout() { return {}; }

    // Where the mouse pointer is now; nothing when the system cannot say.
    virtual std::optional<QPoint> pointerPosition() = 0;

    // The keyboard now, also while another application has the focus.
    virtual KeyboardState keyboard() = 0;
    // Hands the keyboard to onKey at every key press and release anywhere on
    // the desktop (and every mouse button press, which counts as another
    // key), on the event loop, the moment the system reports it: what is
    // down after it, and whether it pressed Alt or another key. False where
    // the system reports no such events (an X server without XInput 2): the
    // caller then looks at keyboard() at intervals. An empty function stops.
    virtual bool watchKeys(const std::function<void(const KeyboardState&)>& /*onKey*/) {
        return false;
    }
    // How the program hears the keys here, for its log.
    virtual QString keyWatchKind() { return QStringLiteral("polling the keyboard"); }

    // A key combination taken as a global shortcut of the program: id names
    // it (the program has a few), and taking another combination for the
    // same id lets the old one go once the new one is taken. onPressed runs
    // on the event loop at each press, whichever program has the focus.
    enum class Hotkey {
        Taken,       // it is the program's now
        InUse,       // another program holds it; what the id held stays
        Unusable,    // a key the system cannot take this way
        Unsupported, // the system takes no global shortcuts from programs
    };
    virtual Hotkey takeHotkey(int /*id*/, QKeyCombination /*key*/,
                              const std::function<void()>& /*onPressed*/) {
        return Hotkey::Unsupported;
    }
    // Lets the combination of id go (nothing when it holds none).
    virtual void releaseHotkey(int /*id*/) {}
    // Whether any key or mouse button is down now, anywhere on the desktop;
    // unlike keyboard(), it takes nothing from what the Alt watch is told.
    virtual bool keysDown() { return false; }
    // The window that has the keyboard focus now, whichever program it
    // belongs to; 0 for none, or where the system cannot say.
    virtual quintptr focusWindow() { return 0; }
    // Whether typeText can type into other programs' windows here (a
    // Wayland desktop lets no program do that).
    virtual bool typesText() { return false; }
    // Types text into the window with the focus, as key presses would,
    // then the key after it (Qt::Key_Tab, Qt::Key_Return; 0 for none).
    // Empty once typed, otherwise one sentence saying why not.
    virtual QString typeText(const QString& /*text*/, int /*afterKey*/) {
        return QStringLiteral("この画面環境では、ほかのウィンドウに文字を入力できません。");
    }
    // Whether keyboard() sees keys pressed in other applications at all (a
    // Wayland desktop shows no program the keys of another).
    virtual bool seesOtherAppsKeys() { return true; }
    // Asks the desktop for a shortcut of its own that opens the main window,
    // where it keeps such shortcuts for programs (the desktop portal's
    // GlobalShortcuts); onPressed runs on the event loop at each press. Taken
    // by value: a desktop that offers shortcuts keeps it.
    // NOLINTNEXTLINE(performance-unnecessary-value-param)
    virtual void offerShowShortcut(std::function<void()> /*onPressed*/) {}

    // The system clipboard's picture: put one there (replacing whatever the
    // clipboard held), or read it back (a null image when it holds none).
    virtual void setClipboardImage(const QImage& image) = 0;
    // Text on the clipboard, the program keeping it there while it runs.
    virtual void setClipboardText(const QString& text) = 0;
    virtual QImage clipboardImage() = 0;

    // Hands a document or web address to the desktop without waiting.
    virtual bool openUrl(const QUrl& url) = 0;

    // Keeps a window above all ordinary windows, or lets it go.
    virtual void setTopMost(QWidget* window, bool topMost) = 0;

    // Whether the notification area reports a click on the icon only as one
    // activation and never as a double click (the D-Bus StatusNotifierItem
    // hosts of current Linux desktops).
    virtual bool trayActivatesOnSingleClick() = 0;

    // Whether the notification area is there to take the icon now: a panel,
    // or the Windows taskbar, may come up after the program at a login.
    virtual bool notificationAreaReady() = 0;

    // Whether a menu of the icon must be opened by a program in the
    // foreground (Windows: the clicks on the menu of a program in the
    // background may go nowhere); then bringToForeground makes the program
    // of window (which may be hidden) the foreground one.
    virtual bool trayMenuNeedsForeground() = 0;
    virtual void bringToForeground(QWidget* window) = 0;

    // Takes shown windows of the program off the screen for a moment and
    // puts them back, without Qt taking them for hidden: a modal dialog among
    // them keeps waiting, and nothing of it needs to be shown afresh.
    virtual void withdrawWindows(const QList<QWidget*>& windows) = 0;
    virtual void restoreWindows(const QList<QWidget*>& windows) = 0;
    // How long the desktop takes to repaint what withdrawn windows covered.
    virtual int repaintMilliseconds() = 0;

    // Empty, or one sentence saying what this desktop cannot give the
    // program (no global key state or screen copy under Wayland, say).
    virtual QString limitation() = 0;

    // Whether the program starts when the user signs in (Autostart.h), and
    // turning that on or off; false when the system refused the change.
    virtual AutostartState autostart() = 0;
    virtual bool setAutostart(bool on) = 0;

    // Calls end when something outside asks the program to end (the
    // Windows installer before it replaces the program); nothing where the
    // system has no such request. An empty function stops listening.
    virtual void whenAskedToEnd(std::function<void()> end) = 0;
};

// The implementation for the system the program runs on.
std::unique_ptr<Platform> CreatePlatform();

// Before the application object exists (Qt ends the process when it finds no
// display): empty when the system's display can be opened, otherwise one
// sentence saying why not.
QString DisplayProblem();

// Before the application object exists: lets Qt draw the way that fits the
// session (natively in a Wayland session; the user's QT_QPA_PLATFORM wins).
void ChooseQtPlatform();

} // namespace platform
