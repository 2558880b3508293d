#include "ReadOptions.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace tools {

namespace {

// The whole text as a number, or nothing.
template <typename T> std::optional<T> WholeNumber(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<Format> FormatNamed(const std::string& name) {
    if (name == "text") return Format::Text;
    if (name == "tsv") return Format::Tsv;
    if (name == "json") return Format::Json;
    return std::nullopt;
}

std::optional<std::string> Check(const ReadOptions& o) {
    if (o.listAreas) {
        if (o.screen || !o.images.empty()) return "--list-areas reads no image and no screen";
        if (o.area || o.snap || o.watchSeconds || o.count)
            return "--list-areas takes only --profile and --format";
        return std::nullopt;
    }
    if (o.watchSeconds && !o.screen) return "--watch needs --screen";
    if (o.count && !o.watchSeconds) return "--count needs --watch";
    if (o.screen && !o.images.empty()) return "--screen reads the screen, not image files";
    if (!o.screen && o.images.empty()) return "no image given (or --screen, or --list-areas)";
    return std::nullopt;
}

} // namespace

std::optional<ReadOptions> ParseArguments(const std::vector<std::string>& args,
                                          std::string& error) {
    ReadOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        std::optional<std::string> inlineValue;
        if (a.starts_with("--")) {
            if (const auto eq = a.find('='); eq != std::string::npos) {
                inlineValue = a.substr(eq + 1);
                a.resize(eq);
            }
        }
        const bool takesValue = a == "--profile" || a == "--area" || a == "--format" ||
                                a == "--watch" || a == "--count";
        std::string value;
        if (takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = a + " needs a value";
                return std::nullopt;
            }
        } else if (inlineValue) {
            error = a + " takes no value";
            return std::nullopt;
        }

        if (a == "--profile") {
            o.profile = value;
        } else if (a == "--area") {
            o.area = value;
        } else if (a == "--format") {
            const auto f = FormatNamed(value);
            if (!f) {
                error = "--format is text, tsv or json, not \"" + value + "\"";
                return std::nullopt;
            }
            o.format = *f;
        } else if (a == "--watch") {
            const auto s = WholeNumber<double>(value);
            if (!s || !std::isfinite(*s) || *s < kMinWatchSeconds || *s > kMaxWatchSeconds) {
                error = "--watch takes seconds from 0.1 to 86400, not \"" + value + "\"";
                return std::nullopt;
            }
            o.watchSeconds = *s;
        } else if (a == "--count") {
            const auto n = WholeNumber<long long>(value);
            if (!n || *n < 1) {
                error = "--count takes a number of lines from 1 up, not \"" + value + "\"";
                return std::nullopt;
            }
            o.count = *n;
        } else if (a == "--snap") {
            o.snap = true;
        } else if (a == "--screen") {
            o.screen = true;
        } else if (a == "--list-areas") {
            o.listAreas = true;
        } else if (a == "--") {
            o.images.insert(o.images.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        } else if (a.starts_with("--")) {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            o.images.push_back(a);
        }
    }
    if (const auto problem = Check(o)) {
        error = *problem;
        return std::nullopt;
    }
    return o;
}

std::string UsageText(bool full) {
    std::ostringstream s;
    s << "usage: tirelma-read [--profile FILE] [--area NAME] [--snap] [--format F] IMAGE...\n"
         "       tirelma-read [--profile FILE] [--area NAME] [--snap] [--format F] --screen\n"
         "                    [--watch SECONDS [--count N]]\n"
         "       tirelma-read [--profile FILE] [--format F] --list-areas\n";
    if (!full) return s.str();
    s << "\n"
         "Reads the profile's current area (or --area) with its character group, from\n"
         "saved screenshots (the whole image is the area) or from the live screen.\n"
         "  --snap           round the numbers to the stored step\n"
         "  --format F       text (the reading alone), tsv or json (one object a line)\n"
         "  --screen         read the area's rectangle from the screen\n"
         "  --watch SECONDS  read every SECONDS (0.1 up) and print a time-stamped line\n"
         "                   whenever the reading changes; Ctrl+C ends it\n"
         "  --count N        with --watch: stop after N lines\n"
         "  --list-areas     the profile's areas with their rectangles and groups\n"
         "A reading with ink no character read covers, or of an area partly off the\n"
         "screen, is incomplete: it is printed as read, with a warning on stderr; JSON\n"
         "lines say \"complete\" and the \"unread\" columns; under --watch the text and\n"
         "tsv lines of incomplete readings are marked \"incomplete: ...\".\n"
         "Exit codes: 1 usage, 2 no profile, 3 no such area, 4 the area's group has no\n"
         "characters, 5 an image or the screen could not be read, 6 some reading was\n"
         "incomplete (not with --watch).\n";
    return s.str();
}

} // namespace tools
