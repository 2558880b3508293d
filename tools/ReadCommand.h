// The command-line reader's work, apart from image decoding and main().
#pragma once

#include "AreaImage.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tools {

struct ReadOptions {
    std::string profile; // empty: Kavoren.ini beside the executable
    std::optional<std::string> area;
    bool snap = false;
    std::vector<std::string> images;
};

enum ExitCode {
    kOk = 0,
    kUsage = 1,
    kNoProfile = 2,
    kNoArea = 3,
    kNoCharacters = 4,
    kBadImage = 5,
};

// The options, or an error text for the usage message.
std::optional<ReadOptions> ParseArguments(const std::vector<std::string>& args, std::string& error);

// Reads each image with the profile's area and group, printing one answer per
// line (UTF-8) to out and problems to err. Never writes the profile.
int RunRead(const ReadOptions& options,
            const std::function<std::optional<engine::AreaImage>(const std::string&)>& loadImage,
            std::ostream& out, std::ostream& err);

} // namespace tools
