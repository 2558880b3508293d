// Wayland: screen pixels through the compositor's wlr-screencopy where it
// offers it (exact, fast, no question to the user), otherwise through the
// desktop portal's Screenshot interface (GNOME, KDE), on KDE through KWin's
// own interface first where KWin lets this program in. The monitors come
// from the program's own connection to the compositor (WaylandScreen.h has
// the pixel rules). No program sees the keys of another on Wayland: the
// trigger is `tirelma --show` bound to a key by the user, and the icon.
#include "KWinScreenShot.h"
#include "PlatformCommon.h"
#include "PortalScreenshot.h"
#include "PortalShortcut.h"
#include "StatusNotifier.h"
#include "WaylandLayout.h"
#include "WaylandScreen.h"

#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformwindow.h>

namespace platform {

namespace {

using wayland::Monitor;

class WaylandPlatform : public PlatformCommon {
public:
    enum class Way { ScreenCopy, Portal, None };

    WaylandPlatform(std::unique_ptr<wayland::WaylandScreen> screen, Way way, bool portal = false,
                    bool kwin = false)
        : screen_(std::move(screen)), way_(way), portal_(portal), kwin_(kwin) {}

    // One copy of each output touched, or one picture of the portal, for
    // all the rectangles.
    QList<QImage> grabScreens(const QList<QRect>& rects) override {
        failure_.clear();
        const QList<Monitor> monitors = wayland::LayOut(screen_->outputs());
        QList<QImage> out;
        QList<int> shown; // the rectangles some monitor shows
        for (int i = 0; i < rects.size(); ++i) {
            const QRect& rect = rects[i];
            out.append(QImage());
            if (rect.width() <= 0 || rect.height() <= 0) continue;
            out.back() = QImage(rect.size(), QImage::Format_RGB32);
            out.back().fill(Qt::white); // as off every screen anywhere
            if (std::any_of(monitors.begin(), monitors.end(),
                            [&rect](const Monitor& m) { return m.physical.intersects(rect); }))
                shown.append(i);
        }
        if (shown.isEmpty()) return out;
        bool ok = false;
        switch (way_) {
        case Way::ScreenCopy:
            ok = copyOutputs(monitors, rects, shown, out);
            break;
        case Way::Portal:
            ok = fromPortal(monitors, rects, shown, out);
            break;
        case Way::None:
            failure_ = limitation();
            break;
        }
        if (!ok) return QList<QImage>(rects.size());
        return out;
    }
    QString grabFailure() override { return failure_; }
    bool readsThroughDesktop() override { return way_ == Way::Portal; }

    QList<QRect> screens() override {
        QList<QRect> out;
        for (const Monitor& m : wayland::LayOut(screen_->outputs()))
            out.append(m.physical);
        return out;
    }

    QList<WindowScreen> windowLayout() override {
        QList<WindowScreen> out;
        for (const Monitor& m : wayland::LayOut(screen_->outputs()))
            out.append(WindowScreen{m.name, m.logical, m.physical, m.scale});
        return out;
    }

    std::optional<QPoint> pointerPosition() override { return std::nullopt; }
    KeyboardState keyboard() override { return {}; }
    bool seesOtherAppsKeys() override { return false; }
    void offerShowShortcut(std::function<void()> onPressed) override {
        shortcut_ = std::make_unique<wayland::PortalShortcut>(std::move(onPressed));
        shortcut_->start();
    }

    // Wayland has no "above all others" for ordinary windows.
    void setTopMost(QWidget* window, bool topMost) override {
        if (window && !window->isVisible())
            window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    }

    bool trayActivatesOnSingleClick() override { return StatusNotifierHostRegistered(); }

    // The windows' surfaces leave the screen below Qt, which goes on taking
    // them for shown (a modal dialog keeps waiting).
    void withdrawWindows(const QList<QWidget*>& windows) override {
        for (QWidget* w : windows)
            if (QPlatformWindow* p = w->windowHandle() ? w->windowHandle()->handle() : nullptr) {
                p->setVisible(false);
                withdrawn_.append(w);
            }
    }
    void restoreWindows(const QList<QWidget*>& windows) override {
        for (QWidget* w : windows) {
            if (!withdrawn_.removeOne(w)) continue;
            if (QPlatformWindow* p = w->windowHandle() ? w->windowHandle()->handle() : nullptr) {
                p->setVisible(true);
                w->update();
            }
        }
    }
    // The compositor draws the next frame without our windows at once.
    int repaintMilliseconds() override { return 150; }

    QString limitation() override {
        if (way_ != Way::None) return {};
        return QStringLiteral(
            "この Wayland のデスクトップは、画面の読み取りを許しません (wlr-screencopy も、"
            "デスクトップのポータルの Screenshot もありません)。xdg-desktop-portal と、"
            "デスクトップに合ったその実装 (GNOME なら xdg-desktop-portal-gnome、KDE なら "
            "xdg-desktop-portal-kde) を入れてください。");
    }

private:
    bool copyOutputs(const QList<Monitor>& monitors, const QList<QRect>& rects,
                     const QList<int>& shown, QList<QImage>& out) {
        for (const Monitor& m : monitors) {
            if (std::none_of(shown.begin(), shown.end(),
                             [&](int i) { return rects[i].intersects(m.physical); }))
                continue;
            QString why;
            const QImage shot = screen_->copy(m.name, why);
            if (shot.isNull() || shot.size() != m.physical.size()) {
                failure_ = shot.isNull()
                               ? why
                               : QStringLiteral("画面「%1」の大きさが変わりました。").arg(m.name);
                return false;
            }
            for (int i : shown) {
                const QRect part = rects[i] & m.physical;
                if (part.isEmpty()) continue;
                QPainter p(&out[i]);
                p.drawImage(part.topLeft() - rects[i].topLeft(), shot,
                            part.translated(-m.physical.topLeft()));
            }
        }
        return true;
    }

    bool fromPortal(const QList<Monitor>& monitors, const QList<QRect>& rects,
                    const QList<int>& shown, QList<QImage>& out) {
        // KWin's own picture where it lets us in: raw pixels, no file in the
        // user's folders, no question. Refused once, it is not asked again.
        QImage picture;
        if (kwin_ && !kwinRefused_) {
            wayland::KWinScreenShot kwin;
            picture = kwin.captureWorkspace(failure_, kwinRefused_);
        }
        if (picture.isNull() && portal_) {
            wayland::PortalScreenshot portal;
            picture = portal.take(failure_);
        }
        if (picture.isNull()) return false;
        for (int i : shown) {
            out[i] = wayland::FromLayoutPicture(picture, monitors, rects[i]);
            if (out[i].isNull()) {
                failure_ = QStringLiteral(
                               "デスクトップのポータルの画像 (%1 x %2) が画面の並びに合いません。")
                               .arg(picture.width())
                               .arg(picture.height());
                return false;
            }
        }
        return true;
    }

    std::unique_ptr<wayland::WaylandScreen> screen_;
    Way way_;
    bool portal_; // the desktop portal's Screenshot
    bool kwin_;   // KWin's ScreenShot2, tried before the portal
    bool kwinRefused_ = false;
    QString failure_;
    QList<QWidget*> withdrawn_;
    std::unique_ptr<wayland::PortalShortcut> shortcut_;
};

} // namespace

std::unique_ptr<Platform> CreateNullPlatform(const QString& why);

std::unique_ptr<Platform> CreateWaylandPlatform() {
    QString why;
    auto screen = wayland::WaylandScreen::Connect(why);
    if (!screen) return CreateNullPlatform(why);
    // TIRELMA_WAYLAND_CAPTURE=portal (the portal alone, not KWin's own
    // interface either) or screencopy chooses the way, where the desktop
    // offers both or where one of them misbehaves.
    const QByteArray asked = qgetenv("TIRELMA_WAYLAND_CAPTURE");
    using Way = WaylandPlatform::Way;
    Way way = Way::None;
    bool portal = false, kwin = false;
    if (asked != "portal" && screen->canCopy()) {
        way = Way::ScreenCopy;
    } else if (asked != "screencopy") {
        // KDE: KWin's own interface, with the portal behind it.
        kwin = asked != "portal" && wayland::KWinScreenShot::Offered();
        portal = wayland::PortalScreenshot::Offered();
        if (kwin || portal) way = Way::Portal;
    }
    return std::make_unique<WaylandPlatform>(std::move(screen), way, portal, kwin);
}

} // namespace platform
