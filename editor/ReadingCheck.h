// The reading check of the editor: the captured area read with the group's
// templates exactly as the main window reads it (the same road, Reading.h:
// the same reader, sampling, blanks and verdict), compared with the text the
// user taught, and the reasons why a template cannot be read where it was
// cut.
#pragma once

#include "AreaImage.h"
#include "AreaReader.h"
#include "Blanks.h"
#include "ChrTemp.h"
#include "LineCells.h"
#include "Verdict.h"

#include <QRect>

#include <optional>
#include <string>
#include <vector>

namespace editor {

// A place where the reading and the taught text part.
struct CheckMark {
    enum class Kind {
        Extra,   // read, but not in the taught text
        Wrong,   // read as another character
        Missing, // taught, but not read
    };
    Kind kind = Kind::Extra;
    std::u16string read;       // what was read there (Extra, Wrong)
    std::u16string expected;   // what was taught there (Wrong, Missing)
    int left = -1, right = -1; // area columns, when known
};

struct ReadingCheck {
    std::u16string answer;                // what the main window would show
    std::vector<engine::ReadChar> chars;  // the characters read
    std::vector<int> charLeft, charRight; // their ink columns
    // Ink no character read covers (Verdict.h), whether or not a line was
    // typed; none while the group has no characters.
    std::vector<engine::UnreadPlace> unread;
    bool compared = false; // a taught text was there to compare with
    bool agrees = false;   // ... and the characters read are exactly it
    std::vector<CheckMark> marks;
    // Characters read where they fit only part of a glyph (a tight "-"
    // inside a "7"), with the glyph's taught character when known.
    struct PartFit {
        std::u16string read, glyph;
        int left = 0, right = 0; // the glyph's columns
    };
    std::vector<PartFit> partFits;
    // A taught character not read lies where the scan may already have
    // stopped: within twice the width of the group's last template from
    // the area's right edge.
    bool missedAtRightEdge = false;
    // Where the blank rule puts the delimiter differs from the blanks typed.
    bool blanksDiffer = false;
    // A blank width that puts the delimiter exactly where blanks were typed.
    std::optional<int> suggestedBlankWidth;
};

// Reads area with the templates and compares the reading with the line text
// (no comparison when it has no characters). The cells of the line's split,
// when there are as many as characters, say where each taught one stands.
ReadingCheck CheckReading(const engine::AreaImage& area, const modTemp::ChrTempList& templates,
                          const engine::BlankRule& rule, const LineText& taught,
                          const std::vector<QRect>& cells);

// Why a template cut at cut (area pixels) from the area can never be read at
// the place it was cut from.
struct FitProblem {
    enum class Kind {
        LevelTooHigh, // black in the template, light for the reader (red 128..level)
        LevelTooLow,  // white in the template, dark for the reader (red level+1..127)
        AsTallAsArea, // the reader tries no template as tall as the area
        OnBottomRow,  // the reader never tries a place on the area's bottom row
        BeyondScan,   // the scan stops before reaching it
    };
    Kind kind = Kind::LevelTooHigh;
    int pixels = 0; // how many, for the level kinds
    int red = 0;    // the red value of one of them
};
std::vector<FitProblem> OwnFitProblems(const engine::AreaImage& area, const QRect& cut,
                                       const modTemp::ChrTemp& t,
                                       const modTemp::ChrTempList& group);

// The user's words for a problem, naming the character.
std::u16string DescribeFitProblem(std::u16string_view chr, const FitProblem& p);

// The lines that say what the check found, after the reading itself.
std::vector<std::u16string> DescribeCheck(const ReadingCheck& check, const engine::BlankRule& rule);

} // namespace editor
