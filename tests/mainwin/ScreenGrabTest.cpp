// Screen grabs: the rounding of the area's corner, pixels outside every
// screen, and the engine's view of a picture.
#include "ScreenGrab.h"
#include "Fakes.h"
#include "PlatformCommon.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenGrab, TheCornerRoundsHalfToEvenAndEmptyImagesCopyNothing) {
    fakes::FakePlatform platform;
    for (int x = 0; x < 40; ++x)
        platform.screen.setPixel(x, 5, qRgb(x, 0, 0)); // red = column
    QImage image(4, 1, QImage::Format_RGB32);
    capture::ScrCap(platform, image, 10.5f, 5.0f);
    EXPECT_EQ(qRed(image.pixel(0, 0)), 10);
    capture::ScrCap(platform, image, 11.5f, 5.0f);
    EXPECT_EQ(qRed(image.pixel(0, 0)), 12);
    QImage empty(0, 3, QImage::Format_RGB32);
    const int grabs = platform.grabs;
    capture::ScrCap(platform, empty, 0, 0);
    EXPECT_EQ(platform.grabs, grabs);
}

TEST(ScreenGrab, PartsOutsideEveryScreenAreWhite) {
    QImage grab(30, 10, QImage::Format_RGB32);
    grab.fill(Qt::black);
    // A rectangle from (90, 0) over two screens with a gap (100..109) between them.
    const QImage out = platform::WhiteOutsideScreens(
        grab, QRect(90, 0, 30, 10), {QRect(0, 0, 100, 800), QRect(110, 0, 100, 5)});
    EXPECT_EQ(out.pixel(5, 5), qRgb(0, 0, 0));        // on the first screen
    EXPECT_EQ(out.pixel(15, 5), qRgb(255, 255, 255)); // in the gap
    EXPECT_EQ(out.pixel(25, 2), qRgb(0, 0, 0));       // on the second screen
    EXPECT_EQ(out.pixel(25, 7), qRgb(255, 255, 255)); // below the second screen
}

TEST(ScreenGrab, TheEngineSeesRedInTheLowByte) {
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0x12, 0x34, 0x56));
    image.setPixel(1, 0, qRgb(255, 0, 0));
    const auto area = capture::ToAreaImage(image);
    EXPECT_EQ(area.pixel(0, 0), 0x563412);
    EXPECT_EQ(area.pixel(1, 0) & 0xFF, 0xFF);
    EXPECT_EQ(area.pixel(2, 0), -1);
}

} // namespace
