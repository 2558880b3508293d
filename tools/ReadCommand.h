// The command-line reader's work, apart from image decoding, the screen and
// main(). It never writes the profile.
#pragma once

#include "AreaImage.h"
#include "Platform.h"
#include "ReadOptions.h"
#include "Reading.h"

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tools {

// A rectangle of the screen in physical pixels, (0, 0) at the top-left of
// the primary screen.
using engine::PixelRect;

// Whether the rectangle shares a pixel with one of the screens.
bool OnSomeScreen(const PixelRect& rect, const std::vector<PixelRect>& screens);

// What --watch takes from the system: the time stamp of a reading, and a
// wait that ends early (false) when the watch is to stop.
struct WatchClock {
    std::function<std::string()> timestamp;
    std::function<bool(std::chrono::milliseconds)> wait;
    std::function<std::chrono::steady_clock::time_point()> now;
};

// Reads each image with the profile's area and group, one line per image in
// the chosen format (UTF-8) to out and problems to err. An incomplete reading
// (Verdict.h) is printed all the same, with a warning on err, and the run
// ends with kIncomplete unless another error comes first.
int RunRead(const ReadOptions& options,
            const std::function<std::optional<engine::AreaImage>(const std::string&)>& loadImage,
            std::ostream& out, std::ostream& err);

// Reads the area's rectangle from the screen (the area and its fields from
// one picture, as the resident program grabs them): once, or under --watch
// at each interval, printing a line whenever the reading or its verdict differs from
// the last line printed (the first reading always). Once, an incomplete
// reading ends with kIncomplete; under --watch its line is marked instead.
// An area on another monitor than it was stored on is warned about (under
// --watch, whenever that changes). A grab that fails ends a single reading
// with kBadImage; a watch marks its line and goes on. A watch ends with kOk
// when the clock
// says stop, when out can no longer be written, or after --count lines; and
// with an error when the area can no longer be read (it left every screen,
// or the profile was changed so that it is gone). A changed profile is read
// again before the next reading.
int RunScreen(const ReadOptions& options, platform::Platform& screen, const WatchClock& clock,
              std::ostream& out, std::ostream& err);

// The profile's areas (in the editor's list order, then the current area when
// the list lacks it) with their rectangles and groups.
int RunListAreas(const ReadOptions& options, std::ostream& out, std::ostream& err);

} // namespace tools
