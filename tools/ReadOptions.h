// The command-line reader's options and exit codes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tools {

enum class Format { Text, Tsv, Json };

struct ReadOptions {
    std::string profile; // empty: the program's own profile (settings::ProfileFolder)
    std::optional<std::string> area;
    bool snap = false;
    Format format = Format::Text;
    bool screen = false;                // read the area from the live screen
    std::optional<double> watchSeconds; // with screen: read again at this interval
    std::optional<long long> count;     // with watch: stop after this many lines
    bool listAreas = false;
    std::vector<std::string> images;
};

enum ExitCode {
    kOk = 0,
    kUsage = 1,
    kNoProfile = 2,
    kNoArea = 3,
    kNoCharacters = 4,
    kBadImage = 5,   // an image, or the screen, could not be read
    kIncomplete = 6, // every reading printed, but some not complete
};

inline constexpr double kMinWatchSeconds = 0.1;
inline constexpr double kMaxWatchSeconds = 86400;

// The options, or an error text for the usage message. Options with a value
// take it as the next argument or after "=" (--watch=0.5).
std::optional<ReadOptions> ParseArguments(const std::vector<std::string>& args, std::string& error);

// The usage text, ending with a line break: the synopsis alone, or with
// every option and the exit codes.
std::string UsageText(bool full);

} // namespace tools
