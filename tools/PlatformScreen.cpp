#include "PlatformScreen.h"

#include "ScreenReading.h"

namespace tools {

std::vector<engine::Monitor> PlatformScreen::monitors() {
    return capture::Monitors(platform_);
}

std::optional<engine::AreaImage> PlatformScreen::grab(const PixelRect& r) {
    return capture::ScreenOf(platform_).grab(r);
}

std::string PlatformScreen::grabFailure() {
    return platform_.grabFailure().toStdString();
}

} // namespace tools
