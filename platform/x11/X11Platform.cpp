// X11: screen pixels with XGetImage on the root window (always physical
// pixels), monitors from RandR, the Alt key from XQueryKeymap, the
// always-on-top band through the window manager's _NET_WM_STATE. The program
// keeps its own connection to the X server for this.
#include "PlatformCommon.h"

#include <QGuiApplication>
#include <QWidget>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <bit>

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

class X11Platform : public PlatformCommon {
public:
    explicit X11Platform(Display* display) : display_(display) {
        altLeft_ = XKeysymToKeycode(display, XK_Alt_L);
        altRight_ = XKeysymToKeycode(display, XK_Alt_R);
    }

    QImage grabScreen(const QRect& rect) override {
        if (rect.width() <= 0 || rect.height() <= 0) return {};
        QImage image(rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        const Window root = DefaultRootWindow(display_.get());
        const QRect rootRect(0, 0, DisplayWidth(display_.get(), DefaultScreen(display_.get())),
                             DisplayHeight(display_.get(), DefaultScreen(display_.get())));
        // A request that leaves the root window returns nothing: clip first.
        const QRect clip = rect & rootRect;
        if (!clip.isEmpty()) {
            XImagePtr x(XGetImage(display_.get(), root, clip.x(), clip.y(),
                                  static_cast<unsigned>(clip.width()),
                                  static_cast<unsigned>(clip.height()), AllPlanes, ZPixmap));
            if (x) Copy(*x, image, clip.topLeft() - rect.topLeft());
        }
        return WhiteOutsideScreens(image, rect, monitors());
    }

    QRect primaryScreen() override {
        const auto all = monitors(true);
        return all.isEmpty() ? QRect() : all.front();
    }

    QList<QRect> screens() override { return monitors(true); }

    bool altKeyDown() override {
        char keys[32] = {};
        XQueryKeymap(display_.get(), keys);
        auto down = [&keys](KeyCode k) { return k != 0 && (keys[k / 8] >> (k % 8)) & 1; };
        return down(altLeft_) || down(altRight_);
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

    QString limitation() override {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return QStringLiteral(
                "Wayland のセッションでは、X11 で動いているアプリケーションの画面とキーしか"
                "読み取れません。X11 (Xorg) のセッションでお使いください。");
        return {};
    }

private:
    // Monitors in physical pixels; the primary one first when asked.
    QList<QRect> monitors(bool primaryFirst = false) {
        Display* d = display_.get();
        QList<QRect> out;
        int n = 0;
        if (XRRMonitorInfo* m = XRRGetMonitors(d, DefaultRootWindow(d), True, &n)) {
            for (int i = 0; i < n; ++i) {
                const QRect r(m[i].x, m[i].y, m[i].width, m[i].height);
                if (primaryFirst && m[i].primary)
                    out.prepend(r);
                else
                    out.append(r);
            }
            XRRFreeMonitors(m);
        }
        if (out.isEmpty())
            out.append(
                QRect(0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))));
        return out;
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
    KeyCode altLeft_ = 0, altRight_ = 0;
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

QString DisplayProblem() {
    const QByteArray qpa = qgetenv("QT_QPA_PLATFORM");
    if (!qpa.isEmpty() && !qpa.startsWith("xcb")) return {}; // Qt takes another way, and says so
    const QByteArray name = qgetenv("DISPLAY");
    if (name.isEmpty())
        return QStringLiteral("no X display: DISPLAY is not set (the screen can be read only in "
                              "an X11 session)");
    if (!CheckedDisplay()) CheckedDisplay().reset(XOpenDisplay(nullptr));
    if (!CheckedDisplay())
        return QStringLiteral("cannot open the X display \"%1\"").arg(QString::fromLocal8Bit(name));
    return {};
}

std::unique_ptr<Platform> CreatePlatform() {
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
