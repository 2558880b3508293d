// The reader's view of the live screen: the resident program's own grab.
#pragma once

#include "Platform.h"
#include "ReadCommand.h"

namespace tools {

class PlatformScreen : public ScreenSource {
public:
    explicit PlatformScreen(platform::Platform& platform) : platform_(platform) {}
    std::vector<engine::Monitor> monitors() override;
    std::optional<engine::AreaImage> grab(const PixelRect& rect) override;
    std::string grabFailure() override;

private:
    platform::Platform& platform_;
};

} // namespace tools
