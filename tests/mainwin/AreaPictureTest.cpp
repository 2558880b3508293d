// The main window's picture of the area: whole screen pixels per area pixel,
// never smoothed, at scale factors 1, 1.5 and 2 (the test runs at each).
#include "AreaPicture.h"
#include "Fakes.h"
#include "ProfileFixture.h"
#include "frmMain.h"

#include "QtChecks.h"
#include <QLabel>
#include <QLineEdit>

namespace {

using mainwin::FitPicture;

TEST(AreaPicture, WholeZoomUpToTheScaleFactorAndCutRatherThanShrunk) {
    // At 1 and 1.5 one screen pixel per area pixel, at 2 two, at 3 three.
    EXPECT_EQ(FitPicture({76, 11}, {220, 34}, 1.0).zoom, 1);
    EXPECT_EQ(FitPicture({76, 11}, {330, 51}, 1.5).zoom, 1);
    EXPECT_EQ(FitPicture({76, 11}, {440, 68}, 2.0).zoom, 2);
    EXPECT_EQ(FitPicture({76, 11}, {660, 102}, 3.0).zoom, 3);
    // Too wide for two: one, all of it.
    const auto one = FitPicture({300, 30}, {440, 68}, 2.0);
    EXPECT_EQ(one.zoom, 1);
    EXPECT_EQ(one.shown, QSize(300, 30));
    // Too large even for one: the top-left part that fits.
    const auto cut = FitPicture({500, 40}, {220, 34}, 1.0);
    EXPECT_EQ(cut.zoom, 1);
    EXPECT_EQ(cut.shown, QSize(220, 34));
    EXPECT_TRUE(FitPicture({0, 5}, {220, 34}, 1.0).shown.isEmpty());
}

class MainWindowPicture : public fakes::ProfileFixture {
protected:
    fakes::FakePlatform platform;
    fakes::FakeDialogs dialogs;
};

TEST_F(MainWindowPicture, EveryAreaPixelIsWholeScreenPixels) {
    writeDemoProfile();
    const QImage area(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/counter.png"));
    platform.paint(area, QPoint(100, 100)); // where the demo's area is

    mainwin::frmMain w(platform, dialogs, ini);
    w.show();
    auto* kotae = w.findChild<QLineEdit*>(QStringLiteral("txtKotae"));
    QTRY_COMPARE(kotae->text(), QStringLiteral("1234567890"));
    auto* picture = w.findChild<QLabel*>(QStringLiteral("Picture1"));
    const QImage shown = picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const double ratio = w.devicePixelRatioF();
    const int zoom = ratio >= 2 ? 2 : 1;
    ASSERT_GE(shown.width(), area.width() * zoom);
    ASSERT_GE(shown.height(), area.height() * zoom);
    int wrong = 0;
    for (int y = 0; y < area.height() * zoom; ++y)
        for (int x = 0; x < area.width() * zoom; ++x)
            wrong += shown.pixel(x, y) != area.pixel(x / zoom, y / zoom);
    EXPECT_EQ(wrong, 0) << "at scale " << ratio;
}

} // namespace
