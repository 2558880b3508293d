// X11: screen pixels with XGetImage on the root window (always physical
// pixels), monitors from RandR, the keyboard from XQueryKeymap and the
// XInput 2 raw key events (which every client may watch, also while another
// one grabs the keyboard), the always-on-top band through the window
// manager's _NET_WM_STATE. The program keeps its own connection to the X
// server for this.
//
// The root window's (0, 0) is the top-left of the whole desktop; the
// program's coordinates put the primary monitor's top-left at (0, 0), as on
// Windows, so every rectangle is shifted by the primary monitor's position.
//
// Screens change while the program runs (a monitor plugged in, the
// resolution changed): the root window's size and the monitors are asked of
// the server at every grab, never taken from what the connection learnt when
// it was opened (DisplayWidth stays at the size of that moment).
#include "PlatformCommon.h"
#include "StatusNotifier.h"

#include <QGuiApplication>
#include <QHash>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include "X11Typing.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <bit>
#include <bitset>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace platform {

namespace {

struct XImageDeleter {
    void operator()(XImage* image) const {
        if (image) XDestroyImage(image);
    }
};
using XImagePtr = std::unique_ptr<XImage, XImageDeleter>;

struct DisplayCloser {
    void operator()(Display* d) const {
        if (d) XCloseDisplay(d);
    }
};

// 0..255 from the bits of pixel under mask.
int Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

// The root window's size now.
QRect RootRect(Display* d) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (XGetGeometry(d, DefaultRootWindow(d), &root, &x, &y, &width, &height, &border, &depth))
        return QRect(0, 0, static_cast<int>(width), static_cast<int>(height));
    return QRect(0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d)));
}

// The X key symbol of a Qt key, for a global shortcut; 0 for a key not
// taken this way.
KeySym KeysymOf(Qt::Key k) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return XK_a + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return XK_0 + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F35) return XK_F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Space:
        return XK_space;
    case Qt::Key_Insert:
        return XK_Insert;
    case Qt::Key_Delete:
        return XK_Delete;
    case Qt::Key_Home:
        return XK_Home;
    case Qt::Key_End:
        return XK_End;
    case Qt::Key_PageUp:
        return XK_Prior;
    case Qt::Key_PageDown:
        return XK_Next;
    case Qt::Key_Left:
        return XK_Left;
    case Qt::Key_Up:
        return XK_Up;
    case Qt::Key_Right:
        return XK_Right;
    case Qt::Key_Down:
        return XK_Down;
    case Qt::Key_Pause:
        return XK_Pause;
    case Qt::Key_Print:
        return XK_Print;
    case Qt::Key_ScrollLock:
        return XK_Scroll_Lock;
    case Qt::Key_Escape:
        return XK_Escape;
    case Qt::Key_Tab:
        return XK_Tab;
    case Qt::Key_Return:
        return XK_Return;
    case Qt::Key_Enter:
        return XK_KP_Enter;
    case Qt::Key_Backspace:
        return XK_BackSpace;
    case Qt::Key_Minus:
        return XK_minus;
    case Qt::Key_Equal:
        return XK_equal;
    case Qt::Key_Comma:
        return XK_comma;
    case Qt::Key_Period:
        return XK_period;
    case Qt::Key_Slash:
        return XK_slash;
    case Qt::Key_Semicolon:
        return XK_semicolon;
    default:
        return 0;
    }
}

// The X modifiers of Qt's; the locks (Caps Lock, Num Lock) are taken apart.
unsigned ModifiersOf(Qt::KeyboardModifiers m) {
    unsigned x = 0;
    if (m & Qt::ShiftModifier) x |= ShiftMask;
    if (m & Qt::ControlModifier) x |= ControlMask;
    if (m & Qt::AltModifier) x |= Mod1Mask;
    if (m & Qt::MetaModifier) x |= Mod4Mask;
    return x;
}
constexpr unsigned kShortcutModifiers = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;
// Each shortcut is taken with Caps Lock and Num Lock on or off alike.
constexpr unsigned kLockVariants[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

// Xlib ends the program on an error nobody expects; while one of these
// lives, an error of a request (a grab racing with a change of the screen)
// is only noted. The calls it covers run on the one user-interface thread.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* d) : display_(d) {
        XSync(d, False);
        failed_ = false;
        previous_ = XSetErrorHandler(&ErrorTrap::Note);
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    bool failed() {
        XSync(display_, False);
        return failed_;
    }

private:
    static int Note(Display*, XErrorEvent*) {
        failed_ = true;
        return 0;
    }
    static inline bool failed_ = false;
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*) = nullptr;
};

// The X server serves this connection alone while it lives (when asked
// to): copies made meanwhile show the screen of one moment.
class ServerGrab {
public:
    ServerGrab(Display* display, bool on) : display_(on ? display : nullptr) {
        if (display_) XGrabServer(display_);
    }
    ~ServerGrab() {
        if (!display_) return;
        XUngrabServer(display_);
        XFlush(display_);
    }
    ServerGrab(const ServerGrab&) = delete;
    ServerGrab& operator=(const ServerGrab&) = delete;

private:
    Display* display_;
};

class X11Platform : public PlatformCommon {
public:
    explicit X11Platform(Display* display) : display_(display) {
        altLeft_ = XKeysymToKeycode(display, XK_Alt_L);
        altRight_ = XKeysymToKeycode(display, XK_Alt_R);
        watchKeyEvents();
    }

    QList<QImage> grabScreens(const QList<QRect>& rects) override {
        const Monitors m = monitors();
        Display* d = display_.get();
        const QRect root = RootRect(d);
        QList<QImage> out;
        bool failed = false;
        {
            // No other client draws between the copies: one moment for all.
            ServerGrab grab(d, rects.size() > 1);
            for (const QRect& rect : rects) {
                out.append(QImage());
                if (rect.width() <= 0 || rect.height() <= 0 || failed) continue;
                QImage image(rect.size(), QImage::Format_RGB32);
                image.fill(Qt::white);
                // A request that leaves the root window returns nothing: clip first.
                const QRect onRoot = rect.translated(m.origin);
                const QRect clip = onRoot & root;
                if (!clip.isEmpty()) {
                    ErrorTrap trap(d);
                    XImagePtr x(XGetImage(d, DefaultRootWindow(d), clip.x(), clip.y(),
                                          static_cast<unsigned>(clip.width()),
                                          static_cast<unsigned>(clip.height()), AllPlanes,
                                          ZPixmap));
                    if (!x || trap.failed()) { // a failed grab is no white picture
                        failed = true;
                        continue;
                    }
                    Copy(*x, image, clip.topLeft() - onRoot.topLeft());
                }
                out.back() = WhiteOutsideScreens(image, rect, m.screens);
            }
        }
        if (failed)
            for (QImage& image : out)
                image = QImage();
        return out;
    }

    QList<QRect> screens() override { return monitors().screens; }

    std::optional<QPoint> pointerPosition() override {
        Display* d = display_.get();
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        if (!XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rootX, &rootY, &x, &y, &mask))
            return std::nullopt;
        return QPoint(rootX, rootY) - monitors().origin;
    }

    KeyboardState keyboard() override {
        Display* d = display_.get();
        readKeyEvents();
        KeyboardState s;
        s.altPressed = std::exchange(altPressed_, false);
        s.otherPressed = std::exchange(otherPressed_, false);
        char keys[32] = {};
        XQueryKeymap(d, keys);
        for (int k = 8; k < 256; ++k) {
            if (!((keys[k / 8] >> (k % 8)) & 1)) continue;
            if (isAlt(static_cast<unsigned>(k)))
                s.altDown = true;
            else
                s.otherDown = true;
        }
        Window root = 0, child = 0;
        int rx = 0, ry = 0, x = 0, y = 0;
        unsigned mask = 0;
        if (XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &x, &y, &mask) &&
            (mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask)))
            s.otherDown = true;
        return s;
    }

    bool watchKeys(const std::function<void(const KeyboardState&)>& onKey) override {
        if (xiOpcode_ < 0) return false;
        onKey_ = onKey;
        if (!onKey_) return true;
        // Where the keyboard stands now; the events move it on.
        readKeyEvents();
        Display* d = display_.get();
        char keys[32] = {};
        XQueryKeymap(d, keys);
        keysDown_.reset();
        for (int k = 8; k < 256; ++k)
            if ((keys[k / 8] >> (k % 8)) & 1) keysDown_.set(static_cast<std::size_t>(k));
        Window root = 0, child = 0;
        int rx = 0, ry = 0, x = 0, y = 0;
        unsigned mask = 0;
        buttonsDown_ =
            XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &x, &y, &mask) &&
                    (mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask))
                ? 1
                : 0;
        return true;
    }
    bool keysDown() override { return AnyKeyDown(display_.get()); }
    quintptr focusWindow() override { return FocusWindow(display_.get()); }
    bool typesText() override { return true; }
    QString typeText(const QString& text, int afterKey) override {
        const KeySym after = afterKey == Qt::Key_Tab      ? XK_Tab
                             : afterKey == Qt::Key_Return ? XK_Return
                                                          : 0;
        QString why = typist_.type(text, after);
        // A borrowed key code goes back once the window has read its keys.
        if (typist_.borrowsSpare())
            QTimer::singleShot(500, &timers_, [this] { typist_.restoreSpare(); });
        return why;
    }
    QString keyWatchKind() override {
        return xiOpcode_ < 0 ? QStringLiteral("polling the keyboard every 100 ms (no XInput 2)")
                             : QStringLiteral("XInput 2 raw key events");
    }

    Hotkey takeHotkey(int id, QKeyCombination key,
                      const std::function<void()>& onPressed) override {
        Display* d = display_.get();
        const KeySym sym = KeysymOf(key.key());
        const KeyCode code = sym ? XKeysymToKeycode(d, sym) : 0;
        if (code == 0) return Hotkey::Unusable;
        const unsigned mods = ModifiersOf(key.keyboardModifiers());
        for (const auto& [other, h] : hotkeys_)
            if (other != id && h.code == code && h.mods == mods) return Hotkey::InUse;
        const Window root = DefaultRootWindow(d);
        bool refused = false;
        {
            ErrorTrap trap(d);
            for (const unsigned lock : kLockVariants)
                XGrabKey(d, code, mods | lock, root, False, GrabModeAsync, GrabModeAsync);
            refused = trap.failed(); // BadAccess: another client grabs it
        }
        if (refused) {
            const auto held = hotkeys_.find(id);
            const bool same =
                held != hotkeys_.end() && held->second.code == code && held->second.mods == mods;
            if (!same) ungrab(code, mods);
            return Hotkey::InUse;
        }
        if (const auto held = hotkeys_.find(id);
            held != hotkeys_.end() && !(held->second.code == code && held->second.mods == mods))
            ungrab(held->second.code, held->second.mods);
        hotkeys_[id] = {code, mods, onPressed};
        // Key repeats without releases between them, so that a held key
        // is told from one pressed again.
        XkbSetDetectableAutoRepeat(d, True, nullptr);
        if (!notifier_) listenToDisplay();
        return Hotkey::Taken;
    }
    void releaseHotkey(int id) override {
        const auto held = hotkeys_.find(id);
        if (held == hotkeys_.end()) return;
        ungrab(held->second.code, held->second.mods);
        hotkeys_.erase(held);
    }

    void setTopMost(QWidget* window, bool topMost) override {
        if (!window) return;
        if (!window->isVisible()) {
            // Before the window is mapped the flag is enough.
            window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
            return;
        }
        // A visible window would be hidden by a change of its flags: ask the
        // window manager instead.
        Display* d = display_.get();
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = static_cast<Window>(window->winId());
        e.xclient.message_type = XInternAtom(d, "_NET_WM_STATE", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = topMost ? 1 : 0; // _NET_WM_STATE_ADD / _REMOVE
        e.xclient.data.l[1] = static_cast<long>(XInternAtom(d, "_NET_WM_STATE_ABOVE", False));
        e.xclient.data.l[3] = 1;
        XSendEvent(d, DefaultRootWindow(d), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(d);
    }

    bool trayActivatesOnSingleClick() override { return StatusNotifierHostRegistered(); }

    // Unmapped behind Qt's back: Qt still takes the windows for shown. The
    // window manager forgets a withdrawn window's state (always on top, say),
    // so it is kept here and handed back before the window is mapped again.
    void withdrawWindows(const QList<QWidget*>& windows) override {
        Display* d = display_.get();
        const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
        for (QWidget* w : windows) {
            const auto id = static_cast<Window>(w->winId());
            Atom type = 0;
            int format = 0;
            unsigned long n = 0, after = 0;
            unsigned char* data = nullptr;
            std::vector<Atom> atoms;
            if (XGetWindowProperty(d, id, state, 0, 64, False, XA_ATOM, &type, &format, &n, &after,
                                   &data) == Success &&
                data) {
                if (format == 32) {
                    const auto* a = reinterpret_cast<const Atom*>(data);
                    atoms.assign(a, a + n);
                }
                XFree(data);
            }
            withdrawn_.insert(id, atoms);
            XUnmapWindow(d, id);
        }
        XSync(d, False);
    }

    void restoreWindows(const QList<QWidget*>& windows) override {
        Display* d = display_.get();
        const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
        for (QWidget* w : windows) {
            const auto id = static_cast<Window>(w->winId());
            if (!withdrawn_.contains(id)) continue;
            const std::vector<Atom> atoms = withdrawn_.take(id);
            XChangeProperty(d, id, state, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(atoms.data()),
                            static_cast<int>(atoms.size()));
            XMapWindow(d, id);
        }
        XSync(d, False);
    }

    // Other programs repaint what was uncovered, and a compositing window
    // manager may fade a window out rather than drop it at once.
    int repaintMilliseconds() override { return 300; }

    // A Wayland session never comes here: it has a platform of its own.
    QString limitation() override { return {}; }

private:
    struct Monitors {
        QList<QRect> screens; // program coordinates, primary first
        QPoint origin;        // the primary monitor's top-left on the root window
    };

    Monitors monitors() {
        Display* d = display_.get();
        QList<QRect> onRoot;
        int primary = 0, n = 0;
        if (XRRMonitorInfo* m = XRRGetMonitors(d, DefaultRootWindow(d), True, &n)) {
            for (int i = 0; i < n; ++i) {
                if (m[i].primary) primary = static_cast<int>(onRoot.size());
                onRoot.append(QRect(m[i].x, m[i].y, m[i].width, m[i].height));
            }
            XRRFreeMonitors(m);
        }
        if (onRoot.isEmpty()) onRoot.append(RootRect(d));
        // Without a primary flag the first monitor counts, as for Qt.
        onRoot.move(primary, 0);
        Monitors out;
        out.origin = onRoot.front().topLeft();
        for (const QRect& r : onRoot)
            out.screens.append(r.translated(-out.origin));
        return out;
    }

    bool isAlt(unsigned keycode) const {
        return keycode != 0 && (keycode == altLeft_ || keycode == altRight_);
    }

    // Key and button presses from every device, kept until the next look at
    // the keyboard, so that a key tapped between two looks still counts.
    void watchKeyEvents() {
        Display* d = display_.get();
        int event = 0, error = 0, ge = 0;
        // XInput 2 hands its events over the Generic Event Extension: a
        // server without it has XInput, but no raw event ever comes.
        if (!XQueryExtension(d, "Generic Event Extension", &ge, &event, &error) ||
            !XQueryExtension(d, "XInputExtension", &xiOpcode_, &event, &error)) {
            xiOpcode_ = -1;
            return;
        }
        int major = 2, minor = 2;
        if (XIQueryVersion(d, &major, &minor) != Success || major < 2) {
            xiOpcode_ = -1;
            return;
        }
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
        XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof(bits)), bits};
        XISelectEvents(d, DefaultRootWindow(d), &mask, 1);
        XFlush(d);
        listenToDisplay();
    }

    // Read the events as they come, so that they never pile up while
    // nobody looks.
    void listenToDisplay() {
        notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_.get()),
                                                      QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readKeyEvents(); });
    }

    void ungrab(KeyCode code, unsigned mods) {
        Display* d = display_.get();
        ErrorTrap trap(d);
        for (const unsigned lock : kLockVariants)
            XUngrabKey(d, code, mods | lock, DefaultRootWindow(d));
    }

    void readKeyEvents() {
        Display* d = display_.get();
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == KeyPress || e.type == KeyRelease) { // one of the program's shortcuts
                // Held down, it acts once: repeats come as presses alone.
                const bool press = e.type == KeyPress;
                for (auto& [id, h] : hotkeys_) {
                    if (h.code != e.xkey.keycode) continue;
                    if (!press) {
                        h.down = false;
                    } else if ((e.xkey.state & kShortcutModifiers) == h.mods && !h.down) {
                        h.down = true;
                        if (h.onPressed) QTimer::singleShot(0, notifier_.get(), h.onPressed);
                    }
                }
                continue;
            }
            XGenericEventCookie* c = &e.xcookie;
            if (c->type != GenericEvent || c->extension != xiOpcode_ || !XGetEventData(d, c))
                continue;
            const auto* raw = static_cast<const XIRawEvent*>(c->data);
            const auto code = static_cast<unsigned>(raw->detail);
            const bool alt = isAlt(code);
            KeyboardState k;
            switch (c->evtype) {
            case XI_RawKeyPress:
                if (code < keysDown_.size()) keysDown_.set(code);
                (alt ? altPressed_ : otherPressed_) = true;
                (alt ? k.altPressed : k.otherPressed) = true;
                break;
            case XI_RawKeyRelease:
                if (code < keysDown_.size()) keysDown_.reset(code);
                break;
            case XI_RawButtonPress:
                ++buttonsDown_;
                otherPressed_ = k.otherPressed = true;
                break;
            case XI_RawButtonRelease:
                if (buttonsDown_ > 0) --buttonsDown_;
                break;
            default:
                break;
            }
            XFreeEventData(d, c);
            if (!onKey_) continue;
            std::bitset<256> others = keysDown_;
            others.reset(altLeft_);
            others.reset(altRight_);
            k.altDown = keysDown_[altLeft_] || keysDown_[altRight_];
            k.otherDown = buttonsDown_ > 0 || others.any();
            onKey_(k);
        }
    }

    static void Copy(XImage& x, QImage& image, QPoint at) {
        const bool plain = x.bits_per_pixel == 32 && x.byte_order == LSBFirst &&
                           x.red_mask == 0xFF0000 && x.green_mask == 0xFF00 && x.blue_mask == 0xFF;
        for (int y = 0; y < x.height; ++y) {
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(at.y() + y)) + at.x();
            if (plain) {
                const auto* src = reinterpret_cast<const quint32*>(
                    x.data + static_cast<qsizetype>(y) * x.bytes_per_line);
                for (int i = 0; i < x.width; ++i)
                    dst[i] = 0xFF000000u | src[i];
            } else {
                for (int i = 0; i < x.width; ++i) {
                    const unsigned long p = XGetPixel(&x, i, y);
                    dst[i] = qRgb(Channel(p, x.red_mask), Channel(p, x.green_mask),
                                  Channel(p, x.blue_mask));
                }
            }
        }
    }

    std::unique_ptr<Display, DisplayCloser> display_;
    std::unique_ptr<QSocketNotifier> notifier_;
    // What is down, as the raw events tell (from the keyboard as it was
    // when watching began).
    std::bitset<256> keysDown_;
    int buttonsDown_ = 0;
    std::function<void(const KeyboardState&)> onKey_;
    struct HeldKey {
        KeyCode code = 0;
        unsigned mods = 0;
        std::function<void()> onPressed;
        bool down = false;
    };
    std::map<int, HeldKey> hotkeys_;
    KeyCode altLeft_ = 0, altRight_ = 0;
    int xiOpcode_ = -1;
    bool altPressed_ = false, otherPressed_ = false;
    QHash<Window, std::vector<Atom>> withdrawn_;
    X11Typist typist_{display_.get()};
    QObject timers_; // what is left to do later goes with the platform
};

} // namespace

std::unique_ptr<Platform> CreateNullPlatform(const QString& why);

// The connection DisplayProblem opened, kept for the platform: closing the
// last client of an X server resets it, and a connection made during the
// reset fails.
std::unique_ptr<Display, DisplayCloser>& CheckedDisplay() {
    static std::unique_ptr<Display, DisplayCloser> display;
    return display;
}

QString X11DisplayProblem() {
    const QByteArray qpa = qgetenv("QT_QPA_PLATFORM");
    if (!qpa.isEmpty() && !qpa.startsWith("xcb")) return {}; // Qt takes another way, and says so
    const QByteArray name = qgetenv("DISPLAY");
    if (name.isEmpty())
        return QStringLiteral("no X display: DISPLAY is not set, nor WAYLAND_DISPLAY");
    if (!CheckedDisplay()) CheckedDisplay().reset(XOpenDisplay(nullptr));
    if (!CheckedDisplay())
        return QStringLiteral("cannot open the X display \"%1\"").arg(QString::fromLocal8Bit(name));
    return {};
}

std::unique_ptr<Platform> CreateX11Platform() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        Display* d = CheckedDisplay() ? CheckedDisplay().release() : XOpenDisplay(nullptr);
        if (d) return std::make_unique<X11Platform>(d);
    }
    return CreateNullPlatform(
        QStringLiteral(
            "この画面環境 (%1) では、ほかのアプリケーションの画面と Alt キーを読み取れません。"
            "X11 (Xorg) のセッションでお使いください。")
            .arg(QGuiApplication::platformName()));
}

} // namespace platform
