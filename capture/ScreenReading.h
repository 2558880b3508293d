// The reading road (Reading.h) on the platform's screen: its monitors with
// their scale, and its grab.
#pragma once

#include "AreaImage.h"
#include "Platform.h"
#include "Reading.h"

#include <QImage>

#include <vector>

namespace capture {

// The monitors in physical pixels, each with the desktop's scale on it in
// percent: Qt's scale factor for the screen there, without the one the
// program itself was started with (QT_SCALE_FACTOR); 0 where Qt shows no
// screen.
std::vector<engine::Monitor> Monitors(platform::Platform& platform);

// The screen as the road sees it: those monitors, and a grab that gives
// nothing when the platform's fails.
engine::ScreenView ScreenOf(platform::Platform& platform);

// The area read from the screen as it is now.
engine::Reading ReadScreenArea(platform::Platform& platform, const engine::AreaSettings& area,
                               engine::AreaReader& reader);

// The monitor holding the largest part of a rectangle (for the record of an
// area), with its scale.
std::optional<engine::Monitor> MonitorOf(platform::Platform& platform, const QRect& rect);

// A picture of the engine as an image to show.
QImage ToQImage(const engine::AreaImage& picture);

} // namespace capture
