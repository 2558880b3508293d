// Blanks between the characters of a reading.
//
// A reading is characters found one after another; the screen may show wider
// blanks between some of them (between the numbers of "-12.5 340.75 9"). The
// blank between two characters read is the run of columns from the last ink
// column of the first one's template, where it fitted, to the first ink
// column of the next one's: as wide as what the screen shows there, whatever
// white margins the templates were cut with. Where it is at least the area's
// blank width, the area's delimiter goes into the answer.
#pragma once

#include "AreaReader.h"
#include "ChrTemp.h"

#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct BlankRule {
    int minGap = 0; // blank columns that separate; 0 separates nothing
    std::u16string kugiri;

    bool active() const { return minGap > 0 && !kugiri.empty(); }
};

// First and last columns of a template that hold ink; the whole width for a
// template without ink.
struct InkColumns {
    int first = 0;
    int last = -1;
};
InkColumns TemplateInk(const modTemp::ChrTemp& t);

// Blank columns between each character read and the next one (one fewer than
// the characters); negative where two fits overlap.
std::vector<long long> InkGaps(const std::vector<ReadChar>& chars,
                               const modTemp::ChrTempList& list);

// For each character read, whether the delimiter goes before it.
std::vector<bool> DelimiterBefore(const std::vector<ReadChar>& chars,
                                  const modTemp::ChrTempList& list, const BlankRule& rule);

// The answer: the characters' texts in order, with the delimiter between two
// of them wherever the blank is at least rule.minGap columns. No delimiter is
// doubled: none goes next to one the answer already has there.
std::u16string JoinReading(const std::vector<ReadChar>& chars, const modTemp::ChrTempList& list,
                           const BlankRule& rule);

// The blank width an area's text asks for: its leading number, rounded;
// 0 for nothing, a negative number or a number beyond any area.
int BlankWidthValue(std::u16string_view text);

} // namespace engine
