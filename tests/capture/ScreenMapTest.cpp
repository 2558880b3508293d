// Qt's monitors and mouse positions against physical desktop pixels.
#include "ScreenMap.h"
#include "PlatformCommon.h"

#include <cmath>

#include <gtest/gtest.h>

using capture::PhysicalPoint;
using capture::PlaceScreens;
using capture::QtScreen;
using capture::ScreenPlace;

namespace {

// Three monitors around a primary that is not at the desktop's top-left,
// seen by Qt at scale factor f: their top-left corners stay, their sizes
// shrink. One above the primary, one left of it and lower.
struct Desk {
    QList<QRect> physical{QRect(0, 0, 1280, 800), QRect(0, -600, 1280, 600),
                          QRect(-1280, 100, 1280, 700)};
    QList<QPoint> qtTopLeft{{1280, 600}, {1280, 0}, {0, 700}};
    QList<ScreenPlace> places;
    explicit Desk(double f) {
        QList<QtScreen> qt;
        for (qsizetype i = 0; i < physical.size(); ++i)
            qt.append(QtScreen{QRect(qtTopLeft[i], (QSizeF(physical[i].size()) / f).toSize()), f});
        places = PlaceScreens(qt, qt.front().geometry, physical);
    }
    // Where Qt reports the mouse over physical pixel p of monitor i.
    QPointF qtPosition(qsizetype i, QPoint p, double f) const {
        const QPointF exact = QPointF(qtTopLeft[i]) + QPointF(p - physical[i].topLeft()) / f;
        return QPointF(std::round(exact.x()), std::round(exact.y()));
    }
};

TEST(ScreenMap, QtsMonitorsFindTheirPhysicalPlaces) {
    for (double f : {1.0, 1.5, 2.0}) {
        const Desk d(f);
        ASSERT_EQ(d.places.size(), 3);
        for (qsizetype i = 0; i < 3; ++i)
            EXPECT_EQ(d.places[i].physical, d.physical[i]) << f;
    }
    // A monitor the desktop does not list is sized by its factor.
    const auto lone = PlaceScreens({QtScreen{QRect(100, 0, 640, 400), 2}}, QRect(100, 0, 640, 400),
                                   {QRect(5000, 0, 10, 10)});
    EXPECT_EQ(lone.front().physical, QRect(0, 0, 1280, 800));
    EXPECT_EQ(platform::Bounds({QRect(0, 0, 1280, 800), QRect(-1280, 100, 1280, 700)}),
              QRect(-1280, 0, 2560, 800));
}

TEST(ScreenMap, EveryPhysicalPixelIsFoundOnEveryMonitorAtAnyFactor) {
    for (double f : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        const Desk d(f);
        for (qsizetype i = 0; i < 3; ++i) {
            const QRect m = d.physical[i];
            for (const QPoint corner : {m.topLeft(), m.bottomRight(), m.center()})
                for (int dx = -4; dx <= 4; ++dx) {
                    const QPoint p = corner + QPoint(dx, -dx);
                    if (!m.contains(p)) continue;
                    const QPointF q = d.qtPosition(i, p, f);
                    // With the pointer where the event was: exactly that pixel.
                    EXPECT_EQ(PhysicalPoint(d.places, q, p), p) << f << " " << i;
                    // The pointer moved on since: at most the width of a logical pixel off.
                    const QPoint later = PhysicalPoint(d.places, q, p + QPoint(9, -9));
                    EXPECT_LE(std::abs(later.x() - p.x()), std::ceil(f)) << f;
                    EXPECT_LE(std::abs(later.y() - p.y()), std::ceil(f)) << f;
                    // No pointer at all: exact at factor 1, close above it.
                    const QPoint guess = PhysicalPoint(d.places, q, std::nullopt);
                    if (f == 1.0) {
                        EXPECT_EQ(guess, p);
                    }
                    EXPECT_LE(std::abs(guess.x() - p.x()), std::ceil(f / 2)) << f;
                }
        }
    }
}

TEST(ScreenMap, OutlinesLandOnTheirMonitorInWindowCoordinates) {
    const Desk d(2);
    // The left monitor's top-left pixel, in a window covering that monitor.
    EXPECT_EQ(capture::LocalRect(d.places[2], QRectF(-1280, 100, 20, 10)), QRectF(0, 0, 10, 5));
    // The same rectangle seen from the primary monitor lies far to its left.
    EXPECT_EQ(capture::LocalRect(d.places[0], QRectF(-1280, 100, 20, 10)), QRectF(-640, 50, 10, 5));
}

} // namespace

namespace {

// Wayland: the desktop lays its monitors out in logical pixels apart from
// their physical ones, each at a scale of its own, and gives the pointer to
// a fraction of a logical pixel. A panel at 2, a monitor at 1 right of it,
// one at 1.5 below (which Qt draws at 2).
struct WaylandDesk {
    QList<platform::Platform::WindowScreen> layout{
        {"eDP-1", QRect(0, 0, 1280, 800), QRect(0, 0, 2560, 1600), 2},
        {"HDMI-A-1", QRect(1280, 0, 1920, 1080), QRect(2560, 0, 1920, 1080), 1},
        {"DP-2", QRect(0, 800, 853, 533), QRect(0, 1600, 1280, 800), 1.5},
    };
    // Qt's view, in another order.
    QList<QtScreen> qt{{QRect(1280, 0, 1920, 1080), 1, "HDMI-A-1"},
                       {QRect(0, 800, 853, 533), 2, "DP-2"},
                       {QRect(0, 0, 1280, 800), 2, "eDP-1"}};
};

TEST(ScreenMap, WaylandMonitorsAreFoundByNameWithTheDesktopsScale) {
    const WaylandDesk d;
    const QList<ScreenPlace> places = capture::PlaceScreensByLayout(d.qt, d.layout);
    ASSERT_EQ(places.size(), 3);
    EXPECT_EQ(places[0].physical, QRect(2560, 0, 1920, 1080));
    EXPECT_EQ(places[1].physical, QRect(0, 1600, 1280, 800));
    EXPECT_DOUBLE_EQ(places[1].ratio, 1.5); // not Qt's 2
    EXPECT_EQ(places[2].physical, QRect(0, 0, 2560, 1600));
    // Without a name (an older compositor), the logical rectangle finds it;
    // a monitor the desktop does not list keeps Qt's own factor.
    const auto unnamed =
        capture::PlaceScreensByLayout({{QRect(1280, 0, 1920, 1080), 1, ""}}, d.layout);
    EXPECT_EQ(unnamed[0].physical, QRect(2560, 0, 1920, 1080));
    const auto stranger =
        capture::PlaceScreensByLayout({{QRect(5000, 0, 100, 50), 2, "X"}}, d.layout);
    EXPECT_EQ(stranger[0].physical, QRect(5000, 0, 200, 100));
}

TEST(ScreenMap, EveryPhysicalPixelOfAWaylandDeskIsReachedAtItsOwnScale) {
    const WaylandDesk d;
    const QList<ScreenPlace> places = capture::PlaceScreensByLayout(d.qt, d.layout);
    for (const auto& m : d.layout) {
        const QRect p = m.physical;
        for (const QPoint corner :
             {p.topLeft(), p.bottomRight(), p.center(), QPoint(p.left() + 1, p.bottom() - 1)})
            for (int dx = -3; dx <= 3; ++dx) {
                const QPoint want = corner + QPoint(dx, -dx);
                if (!p.contains(want)) continue;
                // The pointer on the pixel's corner, a little off either way.
                for (double jitter : {0.0, 0.2, -0.2}) {
                    const QPointF logical =
                        QPointF(m.logical.topLeft()) +
                        (QPointF(want - p.topLeft()) + QPointF(jitter, jitter)) / m.scale;
                    EXPECT_EQ(PhysicalPoint(places, logical, std::nullopt), want)
                        << m.name.toStdString() << " " << want.x() << "," << want.y() << " "
                        << jitter;
                }
            }
    }
}

} // namespace
