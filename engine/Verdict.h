// Whether a reading read everything its area shows.
//
// The reader is exact on what it was taught and silent on everything else: a
// glyph no template fits, or one the scan never reaches, is simply passed
// over. The verdict finds such places from the picture and the characters
// read alone:
//
//  - Two levels as the matcher samples them: a pixel is dark when its red
//    component is below 128.
//  - The background is the level most of the area's border pixels have (its
//    top and bottom rows and its left and right columns; dark only when more
//    than half of them are). Ink is every pixel of the other level, so white
//    digits on navy are judged as well as black ones on white.
//  - A character read covers the box of its template where it fitted: the
//    template's columns and rows at the place readChars reports.
//  - The reading is complete when every ink pixel lies in the box of some
//    character read. Otherwise the ink left over forms the unread places:
//    runs of adjacent columns that hold some of it, with the rows it spans.
//  - The scan never compares the area's bottom row (no template is tried
//    there). Ink on it counts only where it would change the answer: in
//    columns no character read covers, where it is a glyph of its own (a "."
//    or "_" sitting on the bottom row) that no template can ever read; under
//    a character read it is that glyph's foot and changes nothing.
//  - An area without ink, or without pixels, is complete.
#pragma once

#include "AreaImage.h"
#include "BitPlane.h"
#include "ChrTemp.h"
#include "ReadChar.h"

#include <vector>

namespace engine {

// Ink no character read covers: area columns first .. last and rows top ..
// bottom, all inclusive.
struct UnreadPlace {
    int first = 0, last = 0;
    int top = 0, bottom = 0;

    bool operator==(const UnreadPlace&) const = default;
};

// Whether most of the border pixels of the sampled area are dark.
bool DarkBackground(const BitPlane& plane);

// The unread places, left to right; none when the reading is complete. Any
// characters will do (a place counts as covered by a box whatever the box
// holds).
std::vector<UnreadPlace> UnreadInk(const BitPlane& plane, const modTemp::ChrTempList& list,
                                   const std::vector<ReadChar>& chars);
std::vector<UnreadPlace> UnreadInk(const AreaImage& image, const modTemp::ChrTempList& list,
                                   const std::vector<ReadChar>& chars);

// What the verdict needs of a group's templates, prepared once with the
// group: sizes, and the dark pixels of each template column.
struct TemplateInk {
    std::vector<int> width, height, firstColumn;
    // Dark pixels of template t's columns 0 .. j - 1, at firstColumn[t] + j
    // (j from 0 to its width).
    std::vector<int> darkBefore;
    // Per template: its size, firstColumn, and its ink on a light background
    // (its dark pixels) and on a dark one (its light pixels).
    struct Shape {
        int width, height, first;
        long long ink;
    };
    std::vector<Shape> onLight, onDark;
};
TemplateInk InkOf(const modTemp::ChrTempList& list);

// The same places for characters as the reader finds them, each a perfect
// fit where it stands; much faster. Where no boxes overlap, the ink in a box
// is its template's, so a stretch of 64 columns whose ink pixels number
// those of the boxes in it holds nothing unread; only the other stretches
// are looked at pixel by pixel.
std::vector<UnreadPlace> UnreadInkOfFits(const BitPlane& plane, const TemplateInk& ink,
                                         const std::vector<ReadChar>& chars);

// A reading and its unread places (AreaReader::readJudged).
struct JudgedRead {
    std::vector<ReadChar> chars;
    std::vector<UnreadPlace> unread;
};

} // namespace engine
