// The reader's view of the live screen: the resident program's own grab.
#pragma once

#include "Platform.h"
#include "ReadCommand.h"

namespace tools {

class PlatformScreen : public ScreenSource {
public:
    explicit PlatformScreen(platform::Platform& platform) : platform_(platform) {}
    std::vector<PixelRect> screens() override;
    engine::AreaImage grab(const PixelRect& rect) override;
    std::string grabFailure() override { return failure_; }

private:
    platform::Platform& platform_;
    std::string failure_;
};

} // namespace tools
