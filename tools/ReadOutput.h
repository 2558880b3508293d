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
#pragma once

#include "ReadOptions.h"
#include "Reading.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

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
    std::int32_t group = 0;
    std::u16string groupName;
    bool current = false;
};
std::string AreaLine(Format format, const AreaListing& area);

} // namespace tools
