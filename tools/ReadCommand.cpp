#include "ReadCommand.h"

#include "AnswerText.h"
#include "AreaReader.h"
#include "Blanks.h"
#include "ChrTemp.h"
#include "FUMIni.h"
#include "FileIo.h"
#include "MainSettings.h"
#include "ProfileLayout.h"
#include "ReadOutput.h"
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
    std::u16string name;
    float left = 0, top = 0, width = 0, height = 0;
    std::u16string kugiri;
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
    auto number = [&section](std::u16string_view key) {
        return static_cast<float>(FUMIni::NumberValue(FUMIni::IniRead(section, key)));
    };
    setup.name = area;
    setup.left = number(profile::kLeft);
    setup.top = number(profile::kTop);
    setup.width = number(profile::kWidth);
    setup.height = number(profile::kHeight);
    setup.kugiri = FUMIni::IniRead(section, profile::kKugiri);
    setup.step = FUMIni::NumberValue(FUMIni::IniRead(profile::kEndData, profile::kKizami));
    setup.reader = std::make_unique<engine::AreaReader>(std::move(loaded.templates));
    return kOk;
}

std::u16string Answer(const ReadOptions& options, AreaSetup& setup,
                      const engine::AreaImage& image) {
    std::u16string answer =
        engine::JoinReading(setup.reader->readChars(image, 3), setup.reader->templates(),
                            engine::AreaBlankRule(profile::AreaSection(setup.name)));
    if (options.snap) answer = engine::SnapToStep(answer, setup.kugiri, setup.step);
    return answer;
}

// The area's rectangle in screen pixels, as the main window grabs it; kOk or
// kNoArea after a message.
int ScreenRect(const AreaSetup& setup, PixelRect& rect, std::ostream& err) {
    const auto left = FUMIni::RoundToInt32(setup.left);
    const auto top = FUMIni::RoundToInt32(setup.top);
    rect.width = mainwin::AreaPixels(setup.width);
    rect.height = mainwin::AreaPixels(setup.height);
    const std::string name = "tirelma-read: area \"" + Utf8Text(setup.name) + "\"";
    if (rect.width == 0 || rect.height == 0) {
        err << name << " has no size (width " << rect.width << ", height " << rect.height
            << "); set it again in the editor\n";
        return kNoArea;
    }
    if (!left || !top || mainwin::AreaTooLarge(rect.width, rect.height)) {
        err << name << " is too large or too far off to read (width " << rect.width << ", height "
            << rect.height << ")\n";
        return kNoArea;
    }
    rect.left = *left;
    rect.top = *top;
    return kOk;
}

bool PrintLine(std::ostream& out, const std::string& line) {
    out << line << '\n';
    out.flush();
    return static_cast<bool>(out);
}

} // namespace

bool OnSomeScreen(const PixelRect& r, const std::vector<PixelRect>& screens) {
    return std::any_of(screens.begin(), screens.end(), [&r](const PixelRect& s) {
        const long long left = std::max<long long>(r.left, s.left);
        const long long top = std::max<long long>(r.top, s.top);
        const long long right = std::min<long long>(0LL + r.left + r.width, 0LL + s.left + s.width);
        const long long bottom =
            std::min<long long>(0LL + r.top + r.height, 0LL + s.top + s.height);
        return left < right && top < bottom;
    });
}

int RunRead(const ReadOptions& options,
            const std::function<std::optional<engine::AreaImage>(const std::string&)>& loadImage,
            std::ostream& out, std::ostream& err) {
    if (const int code = OpenProfile(options, err); code != kOk) return code;
    AreaSetup setup;
    if (const int code = LoadArea(options, setup, err); code != kOk) return code;
    int result = kOk;
    for (const auto& file : options.images) {
        const auto image = loadImage(file);
        if (!image) {
            err << "tirelma-read: cannot read image " << file << "\n";
            result = kBadImage;
            continue;
        }
        out << ReadingLine(options.format, Source{false, file}, setup.name,
                           Answer(options, setup, *image), false)
            << "\n";
    }
    return result;
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
    std::optional<std::u16string> last;
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
        const auto screens = screen.screens();
        if (screens.empty()) {
            err << "tirelma-read: the screen cannot be read here\n";
            return kBadImage;
        }
        if (!OnSomeScreen(rect, screens)) {
            err << "tirelma-read: area \"" << Utf8Text(setup.name) << "\" (left " << rect.left
                << ", top " << rect.top << ", width " << rect.width << ", height " << rect.height
                << ") lies outside every screen\n";
            return kBadImage;
        }
        const std::string time = clock.timestamp();
        const engine::AreaImage picture = screen.grab(rect);
        if (picture.width != rect.width || picture.height != rect.height) {
            // A screen that gave nothing is no white area with nothing on it.
            const std::string why = screen.grabFailure();
            err << "tirelma-read: the screen could not be read" << (why.empty() ? "" : ": ") << why
                << "\n";
            return kBadImage;
        }
        const std::u16string answer = Answer(options, setup, picture);
        if (!watching || answer != last) {
            const std::string line =
                ReadingLine(options.format, Source{true, time}, setup.name, answer, watching);
            if (!PrintLine(out, line)) return kOk; // nobody reads any more
            last = answer;
            ++lines;
        }
        if (!watching || (options.count && lines >= *options.count)) return kOk;

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
