// Cutting a whole captured line into one cut per glyph, for teaching every
// character of the line at once.
//
// Glyph cells are the runs of columns of the two-level image that hold some
// black, split at the columns that hold none. Every cut spans the line's ink
// and the white rows around it: all the rows the reader compares, from the
// area's top row down to the row above its bottom one (the reader tries no
// place on the bottom row, and no template as tall as the area). A template
// that high fits at one height only, the one it was cut at, so a small glyph
// such as "-" or "." cannot fit inside a taller one a few rows higher or
// lower (a "-" cut over the ink's height alone fits the bottom bar of a "5").
// The ink must leave the bottom row white. A cell one column wide takes a
// white column beside it (a cut is at least 2 x 2).
#pragma once

#include <QImage>
#include <QRect>

#include <string>
#include <string_view>
#include <vector>

namespace editor {

struct LineSplit {
    enum class Problem {
        None,
        NoImage,     // nothing captured
        NoInk,       // nothing black at all
        InkOnBottom, // black on the area's bottom row, which no template covers
        TooLow,      // fewer than three rows: no cut two rows high above the bottom row
    };
    Problem problem = Problem::NoImage;
    std::vector<QRect> cuts; // one per glyph, left to right, in area pixels
    int top = 0;             // rows of every cut
    int bottom = -1;
    int inkTop = 0; // rows that hold black
    int inkBottom = -1;
    int width = 0; // of the image
};

LineSplit SplitLine(const QImage& twoLevel);

// The characters of a typed line: its UTF-16 units (a surrogate pair as one),
// without the blanks; blankAfter[i] tells whether a blank was typed between
// character i and the next one.
struct LineText {
    std::vector<std::u16string> chars;
    std::vector<bool> blankAfter;
};
LineText SplitLineText(std::u16string_view text);

// What teaching the line would register: one cut per character, or why not.
struct LinePlan {
    enum class Problem {
        None,
        NoText,
        NoCuts,       // the split itself failed (see LineSplit::Problem)
        CountDiffers, // cells and characters differ in number
        TooWide,      // a cell wider than a template may be
        TooNarrow,    // a cell of one column with no white column beside it
    };
    Problem problem = Problem::NoText;
    int cell = -1; // the cell at fault, for TooWide and TooNarrow
    std::vector<QRect> cuts;
};
LinePlan PlanLine(const LineSplit& split, const LineText& text);

} // namespace editor
