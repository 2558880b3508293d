#include "ReadCommand.h"

#include "AnswerText.h"
#include "Fields.h"
#include "FileIo.h"
#include "Numbers.h"
#include "PressSetup.h"
#include "ProfileLayout.h"
#include "ProfileStore.h"
#include "ReadOutput.h"
#include "Reading.h"
#include "ScreenReading.h"
#include "TextCodec.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

namespace tools {

namespace {

// A path for a message (path::string() would throw on Windows for a name
// outside the ANSI code page).
std::string PathText(const std::filesystem::path& path) {
    return Utf8Text(settings::TextFromPath(path));
}

// The profile the options name (the program's own when none); kOk with it
// open in profile, or kNoProfile after a message.
int OpenProfile(const ReadOptions& options, std::unique_ptr<store::ProfileStore>& profile,
                std::ostream& err) {
    // Arguments are UTF-8 on every system (a plain std::string would be
    // taken for the ANSI code page on Windows).
    const std::filesystem::path path = options.profile.empty()
                                           ? store::ProfileStore::DefaultPath()
                                           : std::filesystem::absolute(settings::PathFromText(
                                                 settings::Utf8ToUtf16(options.profile)));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        err << "tirelma-read: no profile file " << PathText(path) << "\n";
        return kNoProfile;
    }
    profile = std::make_unique<store::ProfileStore>(path);
    return kOk;
}

// What a reading of the area takes from the profile, set up once (again
// when the profile changes), and the prepared groups kept meanwhile.
struct AreaSetup {
    engine::PressSetup press;
    engine::GroupReaders readers;
};

// The area of the options (or the current one) with its fields, set up;
// kOk, or the exit code after a message. Reading images, the images are
// the area, whatever its stored size.
int LoadArea(const ReadOptions& options, store::ProfileStore& profile, AreaSetup& setup,
             bool screen, std::ostream& err) {
    using P = engine::SetupProblem;
    const auto& profilePath = profile.path();
    const profile::Source source = profile.source();
    const std::u16string name =
        options.area ? settings::Utf8ToUtf16(*options.area) : engine::CurrentArea(source.read);
    setup.press = engine::SetUpPress(name, source, source, setup.readers);
    const engine::AreaSetup& a = setup.press.area;
    const std::string area = "area \"" + Utf8Text(name) + "\"";
    if (a.has(P::NoAreaChosen)) {
        err << "tirelma-read: no area is current in " << PathText(profilePath)
            << " (give one with --area)\n";
        return kNoArea;
    }
    if (a.has(P::NoSection)) {
        err << "tirelma-read: no " << area << " in " << PathText(profilePath) << "\n";
        return kNoArea;
    }
    if (a.has(P::UnusableGroup)) {
        err << "tirelma-read: " << area << " names no usable character group\n";
        return kNoCharacters;
    }
    const std::int32_t group = a.settings.group.value_or(0);
    for (const auto& s : a.skipped)
        err << "tirelma-read: warning: character \"" << Utf8Text(s.name) << "\" of group " << group
            << " skipped: " << s.reason << "\n";
    if (a.has(P::NoCharacters)) {
        err << "tirelma-read: character group " << group << " of " << area
            << " has no characters\n";
        return kNoCharacters;
    }
    if (!screen) return kOk;
    const int width = engine::AreaPixels(a.settings.width);
    const int height = engine::AreaPixels(a.settings.height);
    if (a.has(P::NoSize)) {
        err << "tirelma-read: " << area << " has no size (width " << width << ", height " << height
            << "); set it again in the editor\n";
        return kNoArea;
    }
    if (a.has(P::TooLarge)) {
        err << "tirelma-read: " << area << " is too large or too far off to read (width " << width
            << ", height " << height << ")\n";
        return kNoArea;
    }
    return kOk;
}

// The text a reading prints: snapped to the step when asked.
std::u16string Answer(const ReadOptions& options, const AreaSetup& setup,
                      const engine::Reading& reading) {
    if (!options.snap) return reading.text;
    return engine::SnapToStep(reading.text, reading.area.blanks.kugiri, setup.press.step);
}

// The answers of a press as printed, and the line they join into.
struct PressAnswer {
    std::vector<std::u16string> answers;
    std::u16string joined;
};
PressAnswer Answers(const ReadOptions& options, const AreaSetup& setup,
                    const std::vector<engine::Reading>& readings) {
    PressAnswer a;
    for (const auto& r : readings)
        a.answers.push_back(Answer(options, setup, r));
    a.joined = options.snap ? engine::SnapReadings(engine::JoinReadings(readings), readings,
                                                   setup.press.step)
                            : engine::JoinReadings(readings);
    return a;
}

std::string AreaName(const AreaSetup& setup) {
    return "area " + JsonString(Utf8Text(setup.press.area.settings.name));
}

bool PrintLine(std::ostream& out, const std::string& line) {
    out << line << '\n';
    out.flush();
    return static_cast<bool>(out);
}

} // namespace

bool OnSomeScreen(const PixelRect& r, const std::vector<PixelRect>& screens) {
    std::vector<engine::Monitor> monitors;
    monitors.reserve(screens.size());
    for (const PixelRect& s : screens)
        monitors.push_back({s, 0});
    return !r.empty() && engine::Coverage(r, monitors) != engine::Grab::Off;
}

int RunRead(const ReadOptions& options,
            const std::function<std::optional<engine::AreaImage>(const std::string&)>& loadImage,
            std::ostream& out, std::ostream& err) {
    std::unique_ptr<store::ProfileStore> profile;
    if (const int code = OpenProfile(options, profile, err); code != kOk) return code;
    AreaSetup setup;
    if (const int code = LoadArea(options, *profile, setup, false, err); code != kOk) return code;
    const engine::AreaSetup& area = setup.press.area;
    int result = kOk;
    bool incomplete = false;
    for (const auto& file : options.images) {
        auto image = loadImage(file);
        if (!image) {
            err << "tirelma-read: cannot read image " << file << "\n";
            result = kBadImage;
            continue;
        }
        const engine::Reading reading = engine::ReadPicture(area.settings, std::move(*image),
                                                            engine::Grab::Whole, *area.reader);
        const std::u16string answer = Answer(options, setup, reading);
        out << ReadingLine(options.format, Source{false, file}, area.settings.name, answer, false,
                           reading.verdict)
            << "\n";
        if (!reading.complete()) {
            err << IncompleteWarning(file, answer, reading.verdict) << "\n";
            incomplete = true;
        }
    }
    return result != kOk ? result : (incomplete ? kIncomplete : kOk);
}

int RunScreen(const ReadOptions& options, platform::Platform& screen, const WatchClock& clock,
              std::ostream& out, std::ostream& err) {
    std::unique_ptr<store::ProfileStore> profile;
    if (const int code = OpenProfile(options, profile, err); code != kOk) return code;
    const auto& profilePath = profile->path();
    AreaSetup setup;
    settings::FileStamp stamp = settings::StampOf(profilePath);
    if (const int code = LoadArea(options, *profile, setup, true, err); code != kOk) return code;

    const bool watching = options.watchSeconds.has_value();
    const auto interval =
        std::chrono::milliseconds(std::llround(options.watchSeconds.value_or(0) * 1000));
    // What the last line printed said, and the last monitor warned about.
    struct Said {
        std::vector<std::u16string> answers; // of the area and each field
        std::vector<engine::Verdict> verdicts;
    };
    std::optional<Said> last;
    bool warned = false; // about the monitor warnedOf
    engine::Monitor warnedOf;
    long long lines = 0;
    auto next = clock.now();
    for (;;) {
        if (const auto now = settings::StampOf(profilePath); now != stamp) {
            stamp = now;
            if (const int code = LoadArea(options, *profile, setup, true, err); code != kOk)
                return code;
        }
        const engine::AreaSetup& area = setup.press.area;
        const PixelRect rect = *area.rect;
        const std::string time = clock.timestamp();
        // The area and its fields, from one picture of the screen.
        const engine::ScreenShot shot = capture::ShotOf(screen, setup.press);
        if (shot.monitors.empty()) {
            err << "tirelma-read: the screen cannot be read here\n";
            return kBadImage;
        }
        if (engine::Coverage(rect, shot.monitors) == engine::Grab::Off) {
            err << "tirelma-read: area \"" << Utf8Text(area.settings.name) << "\" (left "
                << rect.left << ", top " << rect.top << ", width " << rect.width << ", height "
                << rect.height << ") lies outside every screen\n";
            return kBadImage;
        }
        const std::vector<engine::Reading> readings = engine::ReadPress(setup.press, shot);
        const engine::Reading& reading = readings.front();
        // Once, a failed grab is an error; a watch says so on its line and
        // goes on (a locked screen, say, comes back).
        if (reading.verdict.grab == engine::Grab::Failed && !watching) {
            err << "tirelma-read: " << VerdictText(reading.verdict) << " (area \""
                << Utf8Text(area.settings.name) << "\")\n";
            return kBadImage;
        }
        if (reading.monitorChange && !(warned && warnedOf == reading.monitorChange->now)) {
            err << MonitorWarning(area.settings.name, *reading.monitorChange) << "\n";
            warned = true;
            warnedOf = reading.monitorChange->now;
        } else if (!reading.monitorChange) {
            warned = false;
        }
        const PressAnswer answer = Answers(options, setup, readings);
        std::vector<engine::Verdict> verdicts;
        verdicts.reserve(readings.size());
        for (const auto& r : readings)
            verdicts.push_back(r.verdict);
        const auto sameVerdict = [](const engine::Verdict& a, const engine::Verdict& b) {
            return a.grab == b.grab && a.unread == b.unread;
        };
        const bool same = last && last->answers == answer.answers &&
                          std::equal(verdicts.begin(), verdicts.end(), last->verdicts.begin(),
                                     last->verdicts.end(), sameVerdict);
        const bool complete = engine::PressComplete(readings);
        if (!watching || !same) {
            const std::string line = PressLine(options.format, Source{true, time}, readings,
                                               answer.answers, answer.joined, watching);
            if (!PrintLine(out, line)) return kOk; // nobody reads any more
            if (!complete)
                err << "tirelma-read: warning: " << AreaName(setup) << ": incomplete reading "
                    << JsonString(Utf8Text(answer.joined)) << ": " << PressVerdictText(readings)
                    << "\n";
            last = Said{answer.answers, std::move(verdicts)};
            ++lines;
        }
        if (!watching) return complete ? kOk : kIncomplete;
        if (options.count && lines >= *options.count) return kOk;

        // Ticks keep to the interval; one missed by a slow reading is skipped.
        next += interval;
        const auto now = clock.now();
        if (next < now) next = now;
        if (!clock.wait(std::chrono::duration_cast<std::chrono::milliseconds>(next - now)))
            return kOk;
    }
}

int RunListAreas(const ReadOptions& options, std::ostream& out, std::ostream& err) {
    std::unique_ptr<store::ProfileStore> store;
    if (const int code = OpenProfile(options, store, err); code != kOk) return code;
    const profile::Reader read = store->reader();
    std::vector<std::u16string> names =
        profile::ReadNumberedList(read, profile::kAriaList, profile::ListKey);
    const std::u16string current = read(profile::kEndData, profile::kArea);
    if (!current.empty() && std::find(names.begin(), names.end(), current) == names.end() &&
        store->IniHasSection(profile::AreaSection(current)))
        names.push_back(current);
    for (const auto& name : names) {
        const engine::AreaSettings area = engine::ReadAreaSettings(name, read);
        AreaListing a;
        a.name = name;
        a.left = settings::RoundToInt32Or(area.left, 0);
        a.top = settings::RoundToInt32Or(area.top, 0);
        a.width = engine::AreaPixels(area.width);
        a.height = engine::AreaPixels(area.height);
        a.group = area.group;
        if (area.group) a.groupName = read(profile::kChrGropList, profile::GroupKey(*area.group));
        a.current = name == current;
        a.fields = engine::FieldNames(name, read);
        out << AreaLine(options.format, a) << "\n";
    }
    return kOk;
}

} // namespace tools
