// The reading road (Reading.h, PressSetup.h) on the platform's screen: its
// monitors with their scale, and one grab per press.
#pragma once

#include "AreaImage.h"
#include "Platform.h"
#include "PressSetup.h"
#include "Reading.h"

#include <QImage>

#include <vector>

namespace capture {

// The monitors in physical pixels, each with the desktop's scale on it in
// percent: Qt's scale factor for the screen there, without the one the
// program itself was started with (QT_SCALE_FACTOR); 0 where Qt shows no
// screen.
std::vector<engine::Monitor> Monitors(platform::Platform& platform);

// One picture of the screen for a press: the monitors, and every rectangle
// the press reads copied at one moment.
engine::ScreenShot ShotOf(platform::Platform& platform, const engine::PressSetup& press);

// The press read from the screen as it is now: the area and its fields,
// all from one picture.
std::vector<engine::Reading> ReadPress(platform::Platform& platform,
                                       const engine::PressSetup& press);

// The monitor holding the largest part of a rectangle (for the record of an
// area), with its scale.
std::optional<engine::Monitor> MonitorOf(platform::Platform& platform, const QRect& rect);

// A picture of the engine as an image to show.
QImage ToQImage(const engine::AreaImage& picture);

} // namespace capture
