// What one "書き込み(&W)" appends to the result file: the line, and the
// header line a CSV file gets when it is created or empty.
//
// The line is comment and answer as they always were (AssembleResultLine);
// the optional time stamp column comes last, after the comment too. In CSV
// mode it is joined with ",", as the CSV conversion of the line never
// reaches it (a ":" delimiter would otherwise cut the time apart); in plain
// text with the delimiter. The header names the columns the same way: the
// comment "コメント", each reading's area (an area whose reading holds the
// delimiter gives several columns: "X(1)", "X(2)"), and "日時".
#pragma once

#include "Reading.h"

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The output settings of [ENDDATA] that shape a line.
struct ResultColumns {
    bool commentBefore = false; // コメント前
    bool csv = false;           // CSV
    bool timeStamp = false;     // TIMESTAMP
    bool header = false;        // CSVHEADER: only ever written in CSV mode
};

struct ResultRecord {
    std::u16string line;   // without its line break
    std::u16string header; // empty when no header is wanted
};

inline constexpr std::u16string_view kCommentColumn = u"コメント";
inline constexpr std::u16string_view kAnswerColumn = u"認識結果"; // when no reading names it
inline constexpr std::u16string_view kTimeColumn = u"日時";

// answer and comment as the user left them; readings (the current area
// first) name the header's columns; stamp is the local time of the write,
// "2024-03-09T14:05:07", used when the time stamp column is on.
ResultRecord MakeResultRecord(std::u16string_view answer, std::u16string_view comment,
                              const std::vector<Reading>& readings, std::u16string_view kugiri,
                              const ResultColumns& columns, std::u16string_view stamp);

} // namespace engine
