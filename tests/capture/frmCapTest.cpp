// The full-screen overlay driven in-process: these tests run once at scale
// factor 1 and once at 2, and give every position in physical screen pixels.
#include "frmCap.h"
#include "Fakes.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using capture::CapResult;
using capture::frmCap;

namespace {

class OverlayTest : public ::testing::Test {
protected:
    fakes::FakePlatform platform;
    std::unique_ptr<frmCap> cap;
    bool shown = false;

    void SetUp() override {
        platform.screen = fakes::Patterned(platform.screen.size());
        cap = std::make_unique<frmCap>(platform);
    }

    // Runs the overlay; action drives it once it shows.
    CapResult run(std::function<void(frmCap*)> action) {
        QTimer timer;
        bool acted = false;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != cap.get() || !cap->isVisible()) return;
            if (!acted) {
                acted = shown = true;
                action(cap.get());
            } else {
                cap->reject(); // never leave a test waiting
            }
        });
        timer.start(1);
        return cap->run();
    }

    // A mouse event at a physical screen pixel, which may lie between two
    // logical pixels at a scale factor above 1.
    static void Mouse(frmCap* w, QEvent::Type type, QPoint physical, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
        const QPointF pos = QPointF(physical) / w->devicePixelRatioF();
        QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void Drag(frmCap* w, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(w, QEvent::MouseButtonPress, from, button, button);
        Mouse(w, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button);
        Mouse(w, QEvent::MouseMove, to, Qt::NoButton, button);
    }
    static void Release(frmCap* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }
};

} // namespace

TEST_F(OverlayTest, ShowsTheStillPictureOnePixelPerScreenPixelOverTheWholeScreen) {
    QImage picture;
    QRect geometry;
    bool frameless = false;
    run([&](frmCap* w) {
        geometry = w->geometry();
        frameless = w->windowFlags() & Qt::FramelessWindowHint;
        picture = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_TRUE(frameless);
    EXPECT_EQ(geometry, QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(picture == platform.screen);
}

TEST_F(OverlayTest, DragInAnyDirectionHandsBackTheAreaInPhysicalPixels) {
    const QPoint tl(101, 51), br(161, 71); // odd: between logical pixels at scale 2
    const QPoint drags[][2] = {{tl, br}, {br, tl}, {{101, 71}, {161, 51}}, {{161, 51}, {101, 71}}};
    const QImage still = platform.screen;
    for (const auto& d : drags) {
        platform.screen = still;
        const CapResult r = run([&](frmCap* w) {
            Drag(w, d[0], d[1]);
            platform.screen.fill(Qt::black); // the pixels come from the still picture
            Release(w, {5, 5});
        });
        ASSERT_EQ(r.kind, CapResult::Kind::Selected);
        EXPECT_EQ(r.area, QRect(101, 51, 60, 20));
        EXPECT_TRUE(r.image == still.copy(r.area));
    }
    EXPECT_TRUE(platform.clipboard == still); // kept after the overlay closed

    // A click: the empty area at the point. A release with no press on the
    // next opening repeats it.
    CapResult r = run([&](frmCap* w) {
        Mouse(w, QEvent::MouseButtonPress, {301, 201}, Qt::LeftButton, Qt::LeftButton);
        Release(w, {301, 201});
    });
    EXPECT_EQ(r.area, QRect(301, 201, 0, 0));
    EXPECT_TRUE(r.image.isNull());
    r = run([&](frmCap* w) { Release(w, {500, 500}); });
    EXPECT_EQ(r.area, QRect(301, 201, 0, 0));
}

TEST_F(OverlayTest, OnlyEscEndsItWithoutAnArea) {
    bool openAfterOtherInput = false;
    const CapResult r = run([&](frmCap* w) {
        Drag(w, {10, 10}, {200, 100}, Qt::RightButton);
        Release(w, {200, 100}, Qt::RightButton);
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_A);
        openAfterOtherInput = w->isVisible();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_TRUE(openAfterOtherInput);
    EXPECT_EQ(r.kind, CapResult::Kind::Cancelled);
}

TEST_F(OverlayTest, NoPictureOnTheClipboardClosesAtOnce) {
    platform.screen = QImage(); // the grab gives nothing, so nothing reaches the clipboard
    EXPECT_EQ(run([](frmCap*) {}).kind, CapResult::Kind::NoPicture);
    EXPECT_FALSE(shown);
}

TEST_F(OverlayTest, AScreenTheDesktopRefusesIsNotStoodInForByTheClipboard) {
    // The clipboard holds an older picture; the desktop refuses a new one.
    platform.clipboard = fakes::Patterned(QSize(1280, 800));
    platform.refusal = QStringLiteral("not allowed");
    const CapResult r = run([](frmCap*) {});
    EXPECT_EQ(r.kind, CapResult::Kind::NoPicture);
    EXPECT_EQ(r.why, QStringLiteral("not allowed"));
    EXPECT_FALSE(shown);
    EXPECT_EQ(platform.clipboard, fakes::Patterned(QSize(1280, 800)));
}

TEST_F(OverlayTest, WhereWindowsDoNotKnowTheirPlaceTheDesktopsLayoutCounts) {
    // Wayland: the desktop puts the monitor, 1600 x 1000 physical pixels,
    // where Qt has it, at a scale of 1.25 of its own (Qt may draw it at
    // another); Qt's global positions are of no use there.
    const QScreen* qt = QGuiApplication::primaryScreen();
    platform.screen = fakes::Patterned(QSize(1600, 1000));
    platform.layout = {platform::Platform::WindowScreen{qt->name(), qt->geometry(),
                                                        QRect(0, 0, 1600, 1000), 1.25}};
    const CapResult r = run([](frmCap* w) {
        const auto send = [w](QEvent::Type type, QPointF local, Qt::MouseButton button,
                              Qt::MouseButtons buttons) {
            QMouseEvent e(type, local, QPointF(-7, -7), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(w, &e);
        };
        send(QEvent::MouseButtonPress, QPointF(80, 40), Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, QPointF(120.2, 60), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, QPointF(120.2, 60), Qt::LeftButton, Qt::NoButton);
    });
    ASSERT_EQ(r.kind, CapResult::Kind::Selected);
    EXPECT_EQ(r.area, QRect(100, 50, 50, 25)); // 120.2 x 1.25 = 150.25: the pixel 150
    EXPECT_EQ(r.image, platform.screen.copy(QRect(100, 50, 50, 25)));
}
