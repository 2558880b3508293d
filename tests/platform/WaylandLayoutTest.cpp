// Which session the program is in, and where a Wayland desktop's outputs
// lie in the program's physical pixels.
#include "WaylandLayout.h"

#include <QRandomGenerator>

#include <algorithm>

#include <gtest/gtest.h>

using namespace platform::wayland;

namespace {

TEST(WaylandSession, TheDisplayTheProgramCanReachDecides) {
    struct Case {
        const char *wayland, *type, *x11;
        Session expected;
    };
    const Case cases[] = {
        {"wayland-0", "wayland", ":0", Session::Wayland}, // GNOME, KDE (XWayland running too)
        {"wayland-1", "tty", "", Session::Wayland},       // sway started from a console
        {"wayland-1", "x11", ":0", Session::Wayland},     // a client of a nested compositor
        {"", "wayland", ":0", Session::Wayland},          // started without WAYLAND_DISPLAY
        {"", "wayland", "", Session::Wayland},
        {"", "x11", ":0", Session::X11},
        {"", "", ":1", Session::X11}, // Xvfb, ssh -X
        {"", "tty", "", Session::None},
        {"", "", "", Session::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectSession(c.wayland, c.type, c.x11), c.expected)
            << c.wayland << " / " << c.type << " / " << c.x11;
}

TEST(WaylandLayout, ScalesComeBackFromCutLogicalSizes) {
    EXPECT_DOUBLE_EQ(OutputScale(QSize(1280, 800), QSize(1280, 800)), 1);
    EXPECT_DOUBLE_EQ(OutputScale(QSize(2560, 1600), QSize(1280, 800)), 2);
    // 1280 / 1.5 = 853.3: cut (wlroots) and rounded alike.
    EXPECT_DOUBLE_EQ(OutputScale(QSize(1280, 800), QSize(853, 533)), 1.5);
    EXPECT_DOUBLE_EQ(OutputScale(QSize(1920, 1080), QSize(1536, 864)), 1.25);
    EXPECT_DOUBLE_EQ(OutputScale(QSize(3840, 2160), QSize(2194, 1234)), 1.75);
    EXPECT_DOUBLE_EQ(OutputScale(QSize(1366, 768), QSize(1093, 614)), 1.25); // rounded up
    // Sizes no step explains: the plain ratio.
    EXPECT_DOUBLE_EQ(OutputScale(QSize(1000, 700), QSize(600, 300)), 1000.0 / 600);
    EXPECT_DOUBLE_EQ(OutputScale(QSize(1000, 700), QSize(0, 0)), 1);
}

TEST(WaylandLayout, TurnedOutputsShowTheirModeTurned) {
    EXPECT_EQ(ShownSize(QSize(1920, 1080), Normal), QSize(1920, 1080));
    EXPECT_EQ(ShownSize(QSize(1920, 1080), Rotate90), QSize(1080, 1920));
    EXPECT_EQ(ShownSize(QSize(1920, 1080), Rotate180), QSize(1920, 1080));
    EXPECT_EQ(ShownSize(QSize(1920, 1080), Flipped270), QSize(1080, 1920));
}

TEST(WaylandLayout, OutputsOfDifferentScalesSitSideBySide) {
    // A laptop panel at 2 with a monitor at 1 to its right, announced first,
    // and one at 1.5 below; one without a mode yet.
    const QList<Output> outputs{
        {"HDMI-A-1", QRect(1280, 0, 1920, 1080), QSize(1920, 1080), Normal},
        {"eDP-1", QRect(0, 0, 1280, 800), QSize(2560, 1600), Normal},
        {"DP-2", QRect(0, 800, 1280, 720), QSize(1920, 1080), Normal},
        {"DP-3", QRect(5000, 0, 100, 100), QSize(), Normal},
    };
    const QList<Monitor> m = LayOut(outputs);
    ASSERT_EQ(m.size(), 3);
    // The output at the layout's (0, 0) is the primary one, whatever came first.
    EXPECT_EQ(m[0].name, "eDP-1");
    EXPECT_EQ(m[0].physical, QRect(0, 0, 2560, 1600));
    EXPECT_DOUBLE_EQ(m[0].scale, 2);
    EXPECT_EQ(m[1].name, "HDMI-A-1");
    EXPECT_EQ(m[1].physical, QRect(2560, 0, 1920, 1080)); // touches the panel
    EXPECT_DOUBLE_EQ(m[1].scale, 1);
    EXPECT_EQ(m[2].name, "DP-2");
    EXPECT_EQ(m[2].physical, QRect(0, 1600, 1920, 1080));
    EXPECT_DOUBLE_EQ(m[2].scale, 1.5);
    EXPECT_EQ(m[2].logical, QRect(0, 800, 1280, 720));
}

TEST(WaylandLayout, ThePrimaryOutputIsAtZeroWhereverTheLayoutStarts) {
    // No output at the layout's (0, 0): the first announced counts; others
    // left of and above it get negative coordinates.
    const QList<Monitor> m = LayOut({
        {"A", QRect(100, 50, 640, 400), QSize(1280, 800), Normal},
        {"B", QRect(-1820, 50, 1920, 1080), QSize(1920, 1080), Normal},
    });
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0].physical, QRect(0, 0, 1280, 800));
    EXPECT_EQ(m[1].physical, QRect(-3840, 0, 1920, 1080));
    // A fractional output cut to whole logical pixels: its neighbour starts
    // where its pixels end.
    const QList<Monitor> f = LayOut({
        {"A", QRect(0, 0, 853, 533), QSize(1280, 800), Normal},
        {"B", QRect(853, 0, 1280, 800), QSize(1280, 800), Normal},
    });
    EXPECT_EQ(f[1].physical, QRect(1280, 0, 1280, 800));
    // A turned output: logical and physical both upright.
    const QList<Monitor> t = LayOut({{"A", QRect(0, 0, 1080, 1920), QSize(1920, 1080), Rotate90}});
    EXPECT_EQ(t[0].physical, QRect(0, 0, 1080, 1920));
    EXPECT_DOUBLE_EQ(t[0].scale, 1);
}

TEST(WaylandLayout, NoTwoOutputsOverlapWhateverTheirScales) {
    const double scales[] = {1, 1.25, 1.5, 1.75, 2, 3};
    auto* random = QRandomGenerator::global();
    for (int run = 0; run < 500; ++run) {
        // A row or a column of outputs that touch in the logical layout,
        // each at a scale of its own, in a random order.
        QList<Output> outputs;
        int at = 0;
        const bool row = random->bounded(2) == 0;
        const int n = 2 + random->bounded(3);
        for (int i = 0; i < n; ++i) {
            const double s = scales[random->bounded(6)];
            const QSize mode(640 + 2 * random->bounded(1000), 480 + 2 * random->bounded(600));
            const QSize logical(static_cast<int>(mode.width() / s),
                                static_cast<int>(mode.height() / s));
            const QPoint topLeft = row ? QPoint(at, random->bounded(200) - 100)
                                       : QPoint(random->bounded(200) - 100, at);
            at += row ? logical.width() : logical.height();
            outputs.insert(random->bounded(static_cast<int>(outputs.size()) + 1),
                           Output{QString::number(i), QRect(topLeft, logical), mode, Normal});
        }
        const QList<Monitor> m = LayOut(outputs);
        ASSERT_EQ(m.size(), n);
        for (qsizetype i = 0; i < m.size(); ++i) {
            const auto own = std::find_if(outputs.begin(), outputs.end(),
                                          [&](const Output& o) { return o.name == m[i].name; });
            EXPECT_EQ(m[i].physical.size(), own->mode);
            for (qsizetype j = i + 1; j < m.size(); ++j)
                EXPECT_FALSE(m[i].physical.intersects(m[j].physical))
                    << m[i].name.toStdString() << " and " << m[j].name.toStdString() << " run "
                    << run;
        }
    }
}

// A picture whose every pixel tells where it is: red x, green y (mod 256)
// and blue the picture's number.
QImage Coded(QSize size, int number) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, number));
    return img;
}

TEST(WaylandLayout, ACopiedBufferIsTurnedAsTheOutputShowsIt) {
    const QImage buffer = Coded(QSize(3, 2), 0); // 3 wide, 2 high
    EXPECT_EQ(ShownImage(buffer, Normal, false), buffer);
    const QImage upright = ShownImage(buffer, Normal, true);
    EXPECT_EQ(upright.pixel(0, 0), buffer.pixel(0, 1));
    EXPECT_EQ(upright.pixel(2, 1), buffer.pixel(2, 0));
    // A quarter turn (a monitor standing on its side, checked on sway)
    // shows the buffer's top row as the right column, read downwards; half
    // a turn upside down; flipped ones mirrored after the turn.
    const QImage q = ShownImage(buffer, Rotate90, false);
    ASSERT_EQ(q.size(), QSize(2, 3));
    EXPECT_EQ(q.pixel(1, 0), buffer.pixel(0, 0));
    EXPECT_EQ(q.pixel(1, 2), buffer.pixel(2, 0));
    EXPECT_EQ(q.pixel(0, 0), buffer.pixel(0, 1));
    const QImage h = ShownImage(buffer, Rotate180, false);
    EXPECT_EQ(h.pixel(0, 0), buffer.pixel(2, 1));
    const QImage t = ShownImage(buffer, Rotate270, false);
    ASSERT_EQ(t.size(), QSize(2, 3));
    EXPECT_EQ(t.pixel(0, 2), buffer.pixel(0, 0));
    const QImage f = ShownImage(buffer, Flipped, false);
    EXPECT_EQ(f.pixel(0, 0), buffer.pixel(2, 0));
    const QImage f90 = ShownImage(buffer, Flipped90, false);
    ASSERT_EQ(f90.size(), QSize(2, 3));
    EXPECT_EQ(f90.pixel(0, 0), buffer.pixel(0, 0));
    EXPECT_EQ(f90.pixel(0, 2), buffer.pixel(2, 0));
    const QImage f270 = ShownImage(buffer, Flipped270, false);
    EXPECT_EQ(f270.pixel(1, 2), buffer.pixel(0, 0));
}

TEST(WaylandLayout, APortalPictureGivesEachOutputsOwnPixels) {
    // Two outputs at scale 2 side by side: the portal's picture is the
    // layout at twice its size, and a rectangle across both is exact.
    const QList<Monitor> two = LayOut({
        {"A", QRect(0, 0, 100, 50), QSize(200, 100), Normal},
        {"B", QRect(100, 0, 100, 50), QSize(200, 100), Normal},
    });
    const QImage picture = Coded(QSize(400, 100), 7);
    const QRect across(190, 40, 20, 10);
    EXPECT_EQ(FromLayoutPicture(picture, two, across), picture.copy(across));

    // Parts outside every output are white; the picture's size must fit
    // the layout.
    const QImage edge = FromLayoutPicture(picture, two, QRect(395, 95, 10, 10));
    EXPECT_EQ(edge.pixel(0, 0), picture.pixel(395, 95));
    EXPECT_EQ(edge.pixel(9, 9), qRgb(255, 255, 255));
    EXPECT_TRUE(FromLayoutPicture(Coded(QSize(400, 300), 0), two, across).isNull());

    // Mixed scales: the portal draws the scale-1 output enlarged; each of
    // its physical pixels is taken from the middle of its enlarged copy.
    const QList<Monitor> mixed = LayOut({
        {"A", QRect(0, 0, 100, 50), QSize(200, 100), Normal},
        {"B", QRect(100, 0, 100, 50), QSize(100, 50), Normal},
    });
    ASSERT_EQ(mixed[1].physical, QRect(200, 0, 100, 50));
    const QImage m = FromLayoutPicture(picture, mixed, QRect(198, 0, 10, 5));
    EXPECT_EQ(m.pixel(0, 0), picture.pixel(198, 0)); // on A, 1:1
    EXPECT_EQ(m.pixel(2, 0), picture.pixel(201, 1)); // B's first pixel
    EXPECT_EQ(m.pixel(3, 1), picture.pixel(203, 3)); // B's (1, 1)
    EXPECT_EQ(m.pixel(9, 4), picture.pixel(215, 9));
}

} // namespace
