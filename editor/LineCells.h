// Cutting a whole captured line into one cut per glyph, for teaching every
// character of the line at once.
//
// Glyph cells are the runs of columns of the two-level image that hold some
// black, split at the columns that hold none. Every cut spans the height of
// the line's ink (the rows from the highest to the lowest black pixel of the
// whole image), so that a small glyph such as "-" or "." keeps the white
// above and below it and cannot fit inside a taller one. The reader never
// tries a template whose bottom row is the area's bottom row, so the ink must
// leave that row white. Rows and columns are added only where the editor's
// own size rules need them (a cut is at least 2 x 2).
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
        InkOnBottom, // black on the area's bottom row: no template could fit there
        TooLow,      // no room for a cut two rows high above the bottom row
    };
    Problem problem = Problem::NoImage;
    std::vector<QRect> cuts; // one per glyph, left to right, in area pixels
    int top = 0;             // rows of every cut
    int bottom = -1;
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
