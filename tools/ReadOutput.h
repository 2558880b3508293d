// The lines the command-line reader prints, in each of its formats. All text
// goes out as UTF-8.
//
//   text  the reading alone; a reading of the screen under --watch is
//         preceded by its time stamp and a blank, and an incomplete one is
//         followed by "  [incomplete: ...]" saying why
//   tsv   source, area and reading separated by tabs, where the source is the
//         image file or the time stamp; a backslash, tab, CR or LF inside a
//         field is written as \\, \t, \r or \n; under --watch an
//         incomplete reading has a fourth field "incomplete: ..."
//   json  one object per line: {"image": ...} or {"time": ...}, then "area",
//         "reading", "complete" (true or false) and "unread" (the columns of
//         ink no character read covers, [[first, last], ...], both counted
//         in); "partlyOffScreen": true when part of the area lies off every
//         screen, "monitorChanged": true when the area's monitor is not the
//         one it was stored on
//
// An area with fields (Fields.h) prints one line per press all the same: the
// text format the readings joined by the area's delimiter; tsv after the
// joined reading each area and its reading, the area itself first; json the
// joined "reading", "complete" for all of them, and "fields": one object per
// reading ("area", "reading", "complete", "unread", ... as above, and "mark"
// for a field that leads nowhere: "missing-area", "self", "duplicate", or
// "has-fields" for one read without its own fields).
#pragma once

#include "ReadOptions.h"
#include "Reading.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// A moment of local time, with the local offset from UTC.
struct LocalTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
    int utcOffsetMinutes = 0;
};

// ISO 8601 with milliseconds and the offset: 2024-03-09T14:05:07.042+09:00.
std::string FormatTimestamp(const LocalTime& t);

// The offset of local time from UTC in minutes, from the same moment broken
// down both ways (as localtime and gmtime give it).
int UtcOffsetMinutes(const std::tm& local, const std::tm& utc);

// The moment from both breakdowns and its milliseconds.
LocalTime ToLocalTime(const std::tm& local, const std::tm& utc, int millisecond);

// A text in UTF-8; what cannot be converted (a lone surrogate) becomes U+FFFD.
std::string Utf8Text(std::u16string_view text);

std::string TsvField(std::string_view utf8);
std::string JsonString(std::string_view utf8); // with its quotes

// Where a reading came from: an image file, or the screen at a time.
struct Source {
    bool screen = false;
    std::string text; // the file name, or the time stamp
};

// One reading as a line, without the line break. watching: the line is one
// of a --watch series (the text format then shows the time stamp too, and
// the text and tsv formats mark an incomplete reading).
std::string ReadingLine(Format format, const Source& source, std::u16string_view area,
                        std::u16string_view reading, bool watching,
                        const engine::Verdict& verdict = {}, bool monitorChanged = false);

// One press (the area, then its fields) as a line: answers are the readings
// as printed (snapped when asked), joined the line they make. A press of
// the area alone is the line of ReadingLine.
std::string PressLine(Format format, const Source& source,
                      const std::vector<engine::Reading>& readings,
                      const std::vector<std::u16string>& answers, std::u16string_view joined,
                      bool watching);

// Why a field is not read as it is: its mark, or its verdict.
std::string FieldText(const engine::Reading& reading);
// Why a press is incomplete: each incomplete reading's area and reason.
std::string PressVerdictText(const std::vector<engine::Reading>& readings);

// Why a reading is incomplete, in a few words ("unread ink at columns 12-13,
// 40"); empty for a complete one.
std::string VerdictText(const engine::Verdict& verdict);

// The warning line for an incomplete reading of what (an image file, or
// area "Name"), without the line break.
std::string IncompleteWarning(const std::string& what, std::u16string_view reading,
                              const engine::Verdict& verdict);

// The warning line for an area now on another monitor than it was stored on.
std::string MonitorWarning(std::u16string_view area, const engine::MonitorChange& change);

// One area of --list-areas as a line, without the line break.
struct AreaListing {
    std::u16string name;
    int left = 0, top = 0, width = 0, height = 0;
    std::optional<std::int32_t> group = 0; // nothing: CHRGROP names no usable group
    std::u16string groupName;
    bool current = false;
    std::vector<std::u16string> fields; // the areas read with it, in order
};
std::string AreaLine(Format format, const AreaListing& area);

} // namespace tools
