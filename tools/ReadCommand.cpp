#include "ReadCommand.h"

#include "AnswerText.h"
#include "AreaReader.h"
#include "ChrTemp.h"
#include "FUMIni.h"
#include "FileIo.h"
#include "MainSettings.h"
#include "ProfileLayout.h"
#include "ReadOutput.h"
#include "Reading.h"
#include "TextCodec.h"
#include "modPub.h"

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

// The profile the options name, made the one FUMIni reads; kOk or kNoProfile.
int OpenProfile(const ReadOptions& options, std::ostream& err) {
    if (!options.profile.empty()) {
        // Arguments are UTF-8 on every system (a plain std::string would be
        // taken for the ANSI code page on Windows).
        const std::filesystem::path p = std::filesystem::absolute(
            settings::PathFromText(settings::Utf8ToUtf16(options.profile)));
        FUMIni::SetIniDir(settings::TextFromPath(p.parent_path()));
        modPub::IniName = settings::TextFromPath(p.filename());
    } else {
        modPub::IniName = u"Kavoren.ini";
    }
    const auto profilePath = FUMIni::ProfilePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(profilePath, ec)) {
        err << "tirelma-read: no profile file " << PathText(profilePath) << "\n";
        return kNoProfile;
    }
    return kOk;
}

// Everything a reading of the area takes from the profile.
struct AreaSetup {
    engine::AreaSettings area;
    double step = 0;
    std::unique_ptr<engine::AreaReader> reader;
};

// The area of the options (or the current one) with its group's templates;
// kOk, or the exit code after a message.
int LoadArea(const ReadOptions& options, AreaSetup& setup, std::ostream& err) {
    const auto profilePath = FUMIni::ProfilePath();
    const std::u16string area = options.area ? settings::Utf8ToUtf16(*options.area)
                                             : FUMIni::IniRead(profile::kEndData, profile::kArea);
    if (area.empty()) {
        err << "tirelma-read: no area is current in " << PathText(profilePath)
            << " (give one with --area)\n";
        return kNoArea;
    }
    const std::u16string section = profile::AreaSection(area);
    if (!FUMIni::IniHasSection(section)) {
        err << "tirelma-read: no area \"" << Utf8Text(area) << "\" in " << PathText(profilePath)
            << "\n";
        return kNoArea;
    }
    const double groupValue = FUMIni::NumberValue(FUMIni::IniRead(section, profile::kChrGrop));
    const auto group = FUMIni::RoundToInt32(groupValue);
    if (!group) {
        err << "tirelma-read: area \"" << Utf8Text(area) << "\" names no usable character group\n";
        return kNoCharacters;
    }
    auto loaded = modTemp::LoadChrTempList(*group);
    for (const auto& s : loaded.skipped)
        err << "tirelma-read: warning: character \"" << Utf8Text(s.name) << "\" of group " << *group
            << " skipped: " << s.reason << "\n";
    if (loaded.templates.empty()) {
        err << "tirelma-read: character group " << *group << " of area \"" << Utf8Text(area)
            << "\" has no characters\n";
        return kNoCharacters;
    }
    setup.area = engine::ReadAreaSettings(area);
    setup.step = FUMIni::NumberValue(FUMIni::IniRead(profile::kEndData, profile::kKizami));
    setup.reader = std::make_unique<engine::AreaReader>(std::move(loaded.templates));
    return kOk;
}

// The text a reading prints: snapped to the step when asked.
std::u16string Answer(const ReadOptions& options, const AreaSetup& setup,
                      const engine::Reading& reading) {
    if (!options.snap) return reading.text;
    return engine::SnapToStep(reading.text, setup.area.blanks.kugiri, setup.step);
}

std::string AreaName(const AreaSetup& setup) {
    return "area " + JsonString(Utf8Text(setup.area.name));
}

// The area's rectangle in screen pixels, as the main window grabs it; kOk or
// kNoArea after a message.
int ScreenRect(const AreaSetup& setup, PixelRect& rect, std::ostream& err) {
    const engine::AreaSettings& a = setup.area;
    const int width = mainwin::AreaPixels(a.width), height = mainwin::AreaPixels(a.height);
    const std::string name = "tirelma-read: area \"" + Utf8Text(a.name) + "\"";
    if (width == 0 || height == 0) {
        err << name << " has no size (width " << width << ", height " << height
            << "); set it again in the editor\n";
        return kNoArea;
    }
    const auto r = engine::ScreenRect(a);
    if (!r) {
        err << name << " is too large or too far off to read (width " << width << ", height "
            << height << ")\n";
        return kNoArea;
    }
    rect = *r;
    return kOk;
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
    if (const int code = OpenProfile(options, err); code != kOk) return code;
    AreaSetup setup;
    if (const int code = LoadArea(options, setup, err); code != kOk) return code;
    int result = kOk;
    bool incomplete = false;
    for (const auto& file : options.images) {
        auto image = loadImage(file);
        if (!image) {
            err << "tirelma-read: cannot read image " << file << "\n";
            result = kBadImage;
            continue;
        }
        const engine::Reading reading =
            engine::ReadPicture(setup.area, std::move(*image), engine::Grab::Whole, *setup.reader);
        const std::u16string answer = Answer(options, setup, reading);
        out << ReadingLine(options.format, Source{false, file}, setup.area.name, answer, false,
                           reading.verdict)
            << "\n";
        if (!reading.complete()) {
            err << IncompleteWarning(file, answer, reading.verdict) << "\n";
            incomplete = true;
        }
    }
    return result != kOk ? result : (incomplete ? kIncomplete : kOk);
}

int RunScreen(const ReadOptions& options, ScreenSource& screen, const WatchClock& clock,
              std::ostream& out, std::ostream& err) {
    if (const int code = OpenProfile(options, err); code != kOk) return code;
    const auto profilePath = FUMIni::ProfilePath();
    AreaSetup setup;
    settings::FileStamp stamp = settings::StampOf(profilePath);
    if (const int code = LoadArea(options, setup, err); code != kOk) return code;

    const bool watching = options.watchSeconds.has_value();
    const auto interval =
        std::chrono::milliseconds(std::llround(options.watchSeconds.value_or(0) * 1000));
    // What the last line printed said, and the last monitor warned about.
    struct Said {
        std::u16string text;
        engine::Verdict verdict;
    };
    std::optional<Said> last;
    bool warned = false; // about the monitor warnedOf
    engine::Monitor warnedOf;
    long long lines = 0;
    auto next = clock.now();
    for (;;) {
        if (const auto now = settings::StampOf(profilePath); now != stamp) {
            stamp = now;
            AreaSetup again;
            if (const int code = LoadArea(options, again, err); code != kOk) return code;
            setup = std::move(again);
        }
        PixelRect rect;
        if (const int code = ScreenRect(setup, rect, err); code != kOk) return code;
        const engine::ScreenView view{
            screen.monitors(), [&screen](const PixelRect& r) { return screen.grab(r); },
            [&screen] { return settings::Utf8ToUtf16(screen.grabFailure()); }};
        if (view.monitors.empty()) {
            err << "tirelma-read: the screen cannot be read here\n";
            return kBadImage;
        }
        if (engine::Coverage(rect, view.monitors) == engine::Grab::Off) {
            err << "tirelma-read: area \"" << Utf8Text(setup.area.name) << "\" (left " << rect.left
                << ", top " << rect.top << ", width " << rect.width << ", height " << rect.height
                << ") lies outside every screen\n";
            return kBadImage;
        }
        const std::string time = clock.timestamp();
        const engine::Reading reading = engine::ReadScreen(setup.area, view, *setup.reader);
        // Once, a failed grab is an error; a watch says so on its line and
        // goes on (a locked screen, say, comes back).
        if (reading.verdict.grab == engine::Grab::Failed && !watching) {
            err << "tirelma-read: " << VerdictText(reading.verdict) << " (area \""
                << Utf8Text(setup.area.name) << "\")\n";
            return kBadImage;
        }
        if (reading.monitorChange && !(warned && warnedOf == reading.monitorChange->now)) {
            err << MonitorWarning(setup.area.name, *reading.monitorChange) << "\n";
            warned = true;
            warnedOf = reading.monitorChange->now;
        } else if (!reading.monitorChange) {
            warned = false;
        }
        const std::u16string answer = Answer(options, setup, reading);
        const bool same = last && last->text == answer &&
                          last->verdict.grab == reading.verdict.grab &&
                          last->verdict.unread == reading.verdict.unread;
        if (!watching || !same) {
            const std::string line =
                ReadingLine(options.format, Source{true, time}, setup.area.name, answer, watching,
                            reading.verdict, reading.monitorChange.has_value());
            if (!PrintLine(out, line)) return kOk; // nobody reads any more
            if (!reading.complete())
                err << IncompleteWarning(AreaName(setup), answer, reading.verdict) << "\n";
            last = Said{answer, reading.verdict};
            ++lines;
        }
        if (!watching) return reading.complete() ? kOk : kIncomplete;
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
    if (const int code = OpenProfile(options, err); code != kOk) return code;
    std::vector<std::u16string> names =
        profile::ReadNumberedList(FUMIni::IniRead, profile::kAriaList, profile::ListKey);
    const std::u16string current = FUMIni::IniRead(profile::kEndData, profile::kArea);
    if (!current.empty() && std::find(names.begin(), names.end(), current) == names.end() &&
        FUMIni::IniHasSection(profile::AreaSection(current)))
        names.push_back(current);
    for (const auto& name : names) {
        const std::u16string section = profile::AreaSection(name);
        auto number = [&section](std::u16string_view key) {
            return FUMIni::NumberValue(FUMIni::IniRead(section, key));
        };
        AreaListing a;
        a.name = name;
        a.left = FUMIni::RoundToInt32Or(number(profile::kLeft), 0);
        a.top = FUMIni::RoundToInt32Or(number(profile::kTop), 0);
        a.width = mainwin::AreaPixels(static_cast<float>(number(profile::kWidth)));
        a.height = mainwin::AreaPixels(static_cast<float>(number(profile::kHeight)));
        a.group = FUMIni::RoundToInt32Or(number(profile::kChrGrop), 0);
        a.groupName = FUMIni::IniRead(profile::kChrGropList, profile::GroupKey(a.group));
        a.current = name == current;
        out << AreaLine(options.format, a) << "\n";
    }
    return kOk;
}

} // namespace tools
