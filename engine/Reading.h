// A reading as one plain value, made on one road.
//
// The main window, the editor's reading check and tirelma-read all do the
// same: take an area set up from the profile (PressSetup.h) and a picture of
// it, read it, judge it and join it into a text. ReadPicture is that road
// for a picture in hand; a press on the screen (PressSetup.h) cuts the
// pictures of all its areas out of one picture of the screen, judging each
// against the monitors of that moment and comparing the monitor with the
// one the area was recorded on. Windows and the command line only show
// readings and ask.
//
// A Reading holds everything it was made from and everything found, by
// value: the area's settings, the picture, the characters read (where each
// one fitted), the joined text and the verdict. Nothing in it refers to
// process-wide state, so two readings of one press never see each other.
// The one thing shared is the AreaReader passed in, the group's templates
// prepared once with buffers for the next read; it leaves nothing of one
// read in the next one's result.
#pragma once

#include "AreaImage.h"
#include "AreaReader.h"
#include "Blanks.h"
#include "ProfileLayout.h"
#include "Verdict.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The mismatch bound of every reading.
inline constexpr double kReadingMatchLimit = 3;

// A rectangle of the screen in physical pixels, (0, 0) at the top-left of the
// primary monitor.
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const PixelRect&) const = default;
};

// A monitor: where it lies, and its scale in percent (100 at 96 dots per
// inch; 0 when not known).
struct Monitor {
    PixelRect rect;
    int scalePercent = 100;

    bool operator==(const Monitor&) const = default;
};

// What a reading takes from an area's section of the profile.
struct AreaSettings {
    std::u16string name;
    float left = 0, top = 0, width = 0, height = 0; // as stored, by the lenient number rule
    std::optional<std::int32_t> group = 0; // CHRGROP (profile::GroupNumber); nothing: unusable
    BlankRule blanks;                      // 区切り and BLANKWIDTH
    std::optional<Monitor> monitor;        // MONITOR, MONITORSCALE: where it was stored
    bool writeUnread = false;              // WRITEUNREAD is "True"
};

// The settings of area name, read through read. The one place where an
// area's keys are turned into what a reading takes.
AreaSettings ReadAreaSettings(std::u16string_view name, const profile::Reader& read);

// Whole pixels of an area side: rounded half to even, 0 for what is not a
// positive number, kMaxAreaSide + 1 for what no 32-bit integer holds.
int AreaPixels(float side);
// Areas beyond this many pixels (or a side beyond kMaxAreaSide) are not
// read: no screen has them, and the copy would exhaust memory.
inline constexpr long long kMaxAreaPixels = 40'000'000;
inline constexpr int kMaxAreaSide = 32767;
bool AreaTooLarge(int width, int height);

// The area's rectangle on the screen; nothing when its place has no 32-bit
// integer or it is too large to read.
std::optional<PixelRect> ScreenRect(const AreaSettings& area);

// How the picture of a reading was taken.
enum class Grab {
    Whole,     // every pixel from a screen (or from an image file)
    PartlyOff, // part of the area lies off every monitor; it reads white there
    Off,       // the area lies off every monitor; nothing was read
    Failed,    // the screen could not be read; nothing was read
};

struct Verdict {
    Grab grab = Grab::Whole;
    std::vector<UnreadPlace> unread; // Verdict.h
    std::u16string failure;          // why the screen could not be read, where the system said

    bool complete() const { return grab == Grab::Whole && unread.empty(); }
};

// The monitor an area was stored on, and the one that holds it now, when
// they differ in place, size or scale.
struct MonitorChange {
    Monitor recorded;
    Monitor now;
};

// What is wrong with an area named as a field of another (Fields.h).
enum class FieldMark {
    None,
    MissingArea, // no area of that name: nothing read
    Self,        // the area names itself: nothing read
    Duplicate,   // named before in the same list: nothing read
    HasFields,   // it names fields in turn: read alone, its own fields are not followed
};

struct Reading {
    AreaSettings area;
    AreaImage picture;
    std::vector<ReadChar> chars; // readChars: which template, and where it fitted
    std::u16string text;         // the characters joined, blanks and all
    Verdict verdict;
    std::optional<MonitorChange> monitorChange;
    FieldMark mark = FieldMark::None; // as a field of another area

    bool complete() const { return verdict.complete(); }
};

// The road: the picture read with the group's templates, joined with the
// area's blank rule and judged. A grab that is Off or Failed reads nothing.
Reading ReadPicture(AreaSettings area, AreaImage picture, Grab grab, AreaReader& reader);

// A picture of the screen at one moment: the monitors then, and a copy of
// each rectangle asked for (white where no monitor is; nothing where the
// system gave no pixels), and why it gave none, when it says.
struct ScreenShot {
    std::vector<Monitor> monitors; // none when the screen cannot be read
    std::vector<PixelRect> rects;
    std::vector<std::optional<AreaImage>> pictures; // one per rect
    std::u16string failure;

    // The picture of rect, when it was taken whole.
    const AreaImage* pictureOf(const PixelRect& rect) const;
};

// How much of rect the monitors show.
Grab Coverage(const PixelRect& rect, const std::vector<Monitor>& monitors);

// The monitor holding the largest part of rect (the first of equals).
std::optional<Monitor> MonitorUnder(const PixelRect& rect, const std::vector<Monitor>& monitors);

// The change from the recorded monitor to the one under rect now; nothing
// when either is unknown or they agree (a scale of 0 agrees with any).
std::optional<MonitorChange> MonitorChangeAt(const std::optional<Monitor>& recorded,
                                             const PixelRect& rect,
                                             const std::vector<Monitor>& monitors);

// The area at rect read from the shot: judged against the shot's monitors
// (nothing is read where none shows it) and compared with the monitor it
// was recorded on. rect is nothing for an area too large or too far off.
Reading ReadShot(AreaSettings area, const std::optional<PixelRect>& rect, const ScreenShot& shot,
                 AreaReader& reader);

// A monitor's rectangle as the profile keeps it ("left,top,width,height"),
// and back (nothing for any other text).
std::u16string MonitorRectText(const PixelRect& rect);
std::optional<PixelRect> ParseMonitorRect(std::u16string_view text);

} // namespace engine
