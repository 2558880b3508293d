// The overlay on a desktop of three monitors around a primary that is not at
// its top-left (tests/capture/monitors.json): one above the primary, one
// left of it and lower (Qt's offscreen screens come in the order of their
// names, the first primary). Runs at scale factors 1, 1.5 and 2; every position is
// a physical desktop pixel, with the primary's top-left at (0, 0).
#include "Fakes.h"
#include "OwnWindows.h"
#include "frmCap.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

using capture::CapResult;
using capture::frmCap;

namespace {

const QRect kPrimary(0, 0, 1280, 800), kAbove(0, -600, 1280, 600), kLeft(-1280, 100, 1280, 700);

class Monitors : public ::testing::Test {
protected:
    fakes::FakePlatform platform;
    std::unique_ptr<frmCap> cap;

    void SetUp() override {
        ASSERT_EQ(QGuiApplication::screens().size(), 3);
        platform.origin = QPoint(-1280, -600);
        platform.screen = fakes::Patterned(QSize(2560, 1400));
        platform.monitors = {kPrimary, kAbove, kLeft};
        cap = std::make_unique<frmCap>(platform);
    }

    // The desktop's pixels of a rectangle.
    QImage desktop(const QRect& r) const { return platform.screen.copy(r.translated(1280, 600)); }

    CapResult run(const std::function<void(frmCap*)>& action) {
        QTimer timer;
        bool acted = false;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != cap.get() || !cap->isVisible()) return;
            if (!acted) {
                acted = true;
                action(cap.get());
            } else {
                cap->reject();
            }
        });
        timer.start(1);
        return cap->run();
    }

    // The window covering the monitor that holds a desktop pixel.
    QWidget* windowAt(QPoint p) {
        for (QWidget* w : cap->panels())
            if (monitorOf(w).contains(p)) return w;
        return cap.get();
    }
    // The desktop monitor a window covers, found by where Qt has its top-left.
    static QRect monitorOf(const QWidget* w) {
        const QPoint at =
            w->geometry().topLeft() - QGuiApplication::primaryScreen()->geometry().topLeft();
        for (const QRect& m : {kPrimary, kAbove, kLeft})
            if (m.topLeft() == at) return m;
        return {};
    }
    static const QScreen* screenOf(const QWidget* w) {
        for (const QScreen* s : QGuiApplication::screens())
            if (s->geometry().topLeft() == w->geometry().topLeft()) return s;
        return nullptr;
    }

    // A mouse event as Qt reports one over desktop pixel p: the position in
    // whole logical pixels, and the pointer there.
    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QWidget* w = windowAt(p);
        const QRect m = monitorOf(w);
        const double f = w->devicePixelRatioF();
        const QPointF logical = QPointF(w->geometry().topLeft()) + QPointF(p - m.topLeft()) / f;
        const QPointF global(std::round(logical.x()), std::round(logical.y()));
        platform.pointer = p;
        QMouseEvent e(type, w->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    void drag(QPoint from, QPoint to) {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
};

TEST_F(Monitors, EveryMonitorShowsItsOwnPartOfTheStillPicture) {
    QList<std::pair<QRect, QImage>> shown;
    run([&](frmCap* w) {
        QList<QWidget*> windows = w->panels();
        windows.prepend(w);
        for (QWidget* win : windows) {
            ASSERT_TRUE(win->isVisible());
            ASSERT_NE(screenOf(win), nullptr);
            EXPECT_EQ(win->geometry(), screenOf(win)->geometry());
            shown.append(
                {monitorOf(win), win->grab().toImage().convertToFormat(QImage::Format_RGB32)});
        }
        w->reject();
    });
    ASSERT_EQ(shown.size(), 3);
    QList<QRect> covered;
    for (const auto& [monitor, image] : shown) {
        covered.append(monitor);
        const QImage expected = desktop(monitor);
        // At a fractional factor the window may be a pixel short of the monitor.
        const QRect common = QRect(QPoint(0, 0), expected.size()) & image.rect();
        EXPECT_GE(common.width(), monitor.width() - 1);
        EXPECT_GE(common.height(), monitor.height() - 1);
        EXPECT_TRUE(image.copy(common) == expected.copy(common))
            << monitor.x() << "," << monitor.y();
    }
    EXPECT_TRUE(covered.contains(kPrimary) && covered.contains(kAbove) && covered.contains(kLeft));
    // The clipboard has the whole desktop.
    EXPECT_EQ(platform.clipboard.size(), QSize(2560, 1400));
}

TEST_F(Monitors, ADragOnAnyMonitorGivesTheDesktopRectangleAndItsPixels) {
    const QRect areas[] = {QRect(-1000, 403, 33, 21), // left monitor: negative x
                           QRect(403, -187, 34, 17),  // above the primary: negative y
                           QRect(1001, 777, 29, 23),  // the primary's far corner
                           QRect(-61, 300, 120, 11)}; // from the left monitor onto the primary
    for (const QRect& a : areas) {
        const CapResult r =
            run([&](frmCap*) { drag(a.topLeft(), a.topLeft() + QPoint(a.width(), a.height())); });
        ASSERT_EQ(r.kind, CapResult::Kind::Selected);
        EXPECT_EQ(r.area, a);
        EXPECT_TRUE(r.image == desktop(a));
        EXPECT_TRUE(cap->panels().isEmpty()); // gone with the overlay
    }
}

TEST_F(Monitors, TheProgramsWindowsAreOffTheScreenForTheStillPicture) {
    QWidget editor;
    editor.setGeometry(100, 100, 300, 200);
    editor.show();
    run([](frmCap* w) { w->reject(); });
    EXPECT_TRUE(platform.withdrawnAtGrab.contains(&editor));
    EXPECT_TRUE(platform.withdrawn.isEmpty()); // back on the screen
    EXPECT_TRUE(editor.isVisible());

    // The same for any grab the editor makes: a modal dialog keeps waiting.
    QDialog modal;
    bool grabbedWhileWaiting = false;
    QTimer::singleShot(0, [&] {
        capture::WithOwnWindowsAway(platform, [&] {
            grabbedWhileWaiting = modal.isVisible() && platform.withdrawn.contains(&modal);
        });
        EXPECT_TRUE(modal.isVisible());
        modal.accept();
    });
    EXPECT_EQ(modal.exec(), QDialog::Accepted);
    EXPECT_TRUE(grabbedWhileWaiting);
    EXPECT_TRUE(platform.withdrawn.isEmpty());
}

} // namespace
