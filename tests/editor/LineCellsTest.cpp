// Cutting a captured line into one cut per glyph.
#include "LineCells.h"
#include "Glyphs.h"

#include <gtest/gtest.h>

using namespace editor;
using glyphs::Line;
using glyphs::Pattern;

namespace {

std::vector<std::pair<int, int>> Columns(const std::vector<QRect>& cuts) {
    std::vector<std::pair<int, int>> out;
    for (const QRect& c : cuts)
        out.emplace_back(c.left(), c.right());
    return out;
}

} // namespace

TEST(SplitLine, CellsAreInkRunsCutOverEveryRowTheReaderCompares) {
    // "1" has ink in its columns 1..3, "." in both, "2" in all five.
    const LineSplit s = SplitLine(Pattern(Line("1.2")));
    EXPECT_EQ(s.problem, LineSplit::Problem::None);
    EXPECT_EQ(Columns(s.cuts), (std::vector<std::pair<int, int>>{{3, 5}, {8, 9}, {11, 15}}));
    // Every cut from the top row to the row above the bottom one: the "."
    // keeps all the white above it, and fits at this height only.
    for (const QRect& c : s.cuts) {
        EXPECT_EQ(c.top(), 0);
        EXPECT_EQ(c.bottom(), 8);
    }
    EXPECT_EQ(s.width, 18);
    EXPECT_EQ(std::make_pair(s.inkTop, s.inkBottom), std::make_pair(1, 7));
}

TEST(SplitLine, TheBottomRowMustStayWhiteAndTheAreaHoldTwoRowsAboveIt) {
    EXPECT_EQ(SplitLine(QImage()).problem, LineSplit::Problem::NoImage);
    EXPECT_EQ(SplitLine(Pattern({"....", "...."})).problem, LineSplit::Problem::NoInk);
    // The reader never tries a template on the area's bottom row.
    EXPECT_EQ(SplitLine(Pattern(Line("1", 1, 6, 2, 1, 0))).problem,
              LineSplit::Problem::InkOnBottom);
    // A line one row high still gives cuts two rows high.
    const LineSplit s = SplitLine(Pattern({".###.", ".....", "....."}));
    EXPECT_EQ(s.problem, LineSplit::Problem::None);
    EXPECT_EQ(std::make_pair(s.top, s.bottom), std::make_pair(0, 1));
    EXPECT_EQ(SplitLine(Pattern({"###", "..."})).problem, LineSplit::Problem::TooLow);
}

TEST(SplitLineText, BlanksSeparateAndAreNoCharacters) {
    const LineText t = SplitLineText(u" -12.5 340\u30007 ");
    std::u16string joined;
    for (const auto& c : t.chars)
        joined += c + u"|";
    EXPECT_EQ(joined, u"-|1|2|.|5|3|4|0|7|");
    EXPECT_EQ(t.blankAfter,
              (std::vector<bool>{false, false, false, false, true, false, false, true, false}));
    // A character outside the 16-bit range is one character.
    EXPECT_EQ(SplitLineText(u"\U0001F600"
                            u"1")
                  .chars.size(),
              2u);
    EXPECT_TRUE(SplitLineText(u"  ").chars.empty());
}

TEST(PlanLine, OneCutPerCharacterOrWhyNot) {
    const LineSplit twelve = SplitLine(Pattern(Line("12")));
    EXPECT_EQ(PlanLine(twelve, SplitLineText(u"12")).problem, LinePlan::Problem::None);
    EXPECT_EQ(PlanLine(twelve, SplitLineText(u"1 2")).cuts.size(), 2u);
    EXPECT_EQ(PlanLine(twelve, SplitLineText(u"123")).problem, LinePlan::Problem::CountDiffers);
    EXPECT_EQ(PlanLine(twelve, SplitLineText(u"")).problem, LinePlan::Problem::NoText);
    EXPECT_EQ(PlanLine(SplitLine(Pattern(Line("1", 1, 6, 2, 1, 0))), SplitLineText(u"1")).problem,
              LinePlan::Problem::NoCuts);

    // 28 columns are the widest template; 29 are refused, naming the cell.
    const std::string ok(28, '#'), wide(29, '#');
    EXPECT_EQ(PlanLine(SplitLine(Pattern({ok + ".#", ok + ".#", "...............................",
                                          "..............................."})),
                       SplitLineText(u"ab"))
                  .problem,
              LinePlan::Problem::None);
    const LinePlan tooWide = PlanLine(
        SplitLine(Pattern({"#." + wide, "#." + wide, std::string(31, '.'), std::string(31, '.')})),
        SplitLineText(u"ab"));
    EXPECT_EQ(tooWide.problem, LinePlan::Problem::TooWide);
    EXPECT_EQ(tooWide.cell, 1);
    EXPECT_TRUE(tooWide.cuts.empty());

    // A cell one column wide takes the white column on its right, at the
    // right edge the one on its left; with neither it cannot be a template.
    EXPECT_EQ(Columns(PlanLine(SplitLine(Pattern({".#..#.", ".#..#.", "......", "......"})),
                               SplitLineText(u"ab"))
                          .cuts),
              (std::vector<std::pair<int, int>>{{1, 2}, {4, 5}}));
    EXPECT_EQ(Columns(PlanLine(SplitLine(Pattern({".#..#", ".#..#", ".....", "....."})),
                               SplitLineText(u"ab"))
                          .cuts),
              (std::vector<std::pair<int, int>>{{1, 2}, {3, 4}}));
    EXPECT_EQ(PlanLine(SplitLine(Pattern({"#", "#", ".", "."})), SplitLineText(u"a")).problem,
              LinePlan::Problem::TooNarrow);
}
