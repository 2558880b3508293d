#include "ResultRecord.h"

#include "AnswerText.h"

#include <algorithm>

namespace engine {

namespace {

// A name as a header column: a comma or the delimiter inside it would cut
// it into two columns.
std::u16string ColumnName(std::u16string_view name, std::u16string_view kugiri) {
    std::u16string out(name);
    for (auto& c : out)
        if (c == u',' || (kugiri.size() == 1 && c == kugiri[0])) c = u'_';
    return out;
}

// The columns of the answer, named after the readings they come from.
std::u16string AnswerColumns(const std::vector<Reading>& readings, std::u16string_view kugiri) {
    if (readings.empty()) return std::u16string(kAnswerColumn);
    std::u16string out;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const Reading& r = readings[i];
        const std::u16string name = ColumnName(r.area.name, kugiri);
        const auto count =
            kugiri.size() == 1 ? std::count(r.text.begin(), r.text.end(), kugiri[0]) + 1 : 1;
        for (long j = 0; j < count; ++j) {
            if (i > 0 || j > 0) out += kugiri;
            out += name;
            if (count > 1) out += u"(" + profile::Decimal(j + 1) + u")";
        }
    }
    return out;
}

std::u16string WithTime(std::u16string line, std::u16string_view time, std::u16string_view kugiri,
                        const ResultColumns& columns) {
    if (!columns.timeStamp) return line;
    line += columns.csv ? std::u16string_view(u",") : kugiri;
    line += time;
    return line;
}

} // namespace

ResultRecord MakeResultRecord(std::u16string_view answer, std::u16string_view comment,
                              const std::vector<Reading>& readings, std::u16string_view kugiri,
                              const ResultColumns& columns, std::u16string_view stamp) {
    ResultRecord r;
    r.line =
        WithTime(AssembleResultLine(answer, comment, kugiri, columns.commentBefore, columns.csv),
                 stamp, kugiri, columns);
    if (columns.csv && columns.header)
        r.header = WithTime(AssembleResultLine(AnswerColumns(readings, kugiri), kCommentColumn,
                                               kugiri, columns.commentBefore, true),
                            kTimeColumn, kugiri, columns);
    return r;
}

} // namespace engine
