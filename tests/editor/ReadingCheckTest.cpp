// The reading check: the area read as the main window reads it, compared
// with the taught line, and why a template cannot be read where it was cut.
#include "ReadingCheck.h"
#include "EditorLogic.h"
#include "Glyphs.h"

#include <gtest/gtest.h>

using namespace editor;
using glyphs::Line;
using glyphs::Pattern;
using glyphs::TemplateOf;

namespace {

// The line's templates taught from its cells, as whole-line teaching cuts them.
modTemp::ChrTempList Taught(const QImage& twoLevel, std::u16string_view text) {
    const LineSplit split = SplitLine(twoLevel);
    const LinePlan plan = PlanLine(split, SplitLineText(text));
    EXPECT_EQ(plan.problem, LinePlan::Problem::None);
    const LineText chars = SplitLineText(text);
    modTemp::ChrTempList list;
    for (std::size_t i = 0; i < plan.cuts.size(); ++i)
        if (std::none_of(list.begin(), list.end(),
                         [&](const modTemp::ChrTemp& t) { return t.Chr == chars.chars[i]; }))
            list.push_back(TemplateOf(twoLevel, plan.cuts[i], chars.chars[i]));
    return glyphs::Sorted(list);
}

ReadingCheck Check(const QImage& img, const modTemp::ChrTempList& list, std::u16string_view text,
                   engine::BlankRule rule = {}) {
    return CheckReading(capture::ToAreaImage(img), list, rule, SplitLineText(text),
                        SplitLine(img).cuts);
}

std::u16string Joined(const std::vector<std::u16string>& lines) {
    std::u16string out;
    for (const auto& l : lines)
        out += l + u"\n";
    return out;
}

bool Has(const std::vector<std::u16string>& lines, std::u16string_view part) {
    return Joined(lines).find(part) != std::u16string::npos;
}

} // namespace

TEST(ReadingCheck, AgreesWithTheTaughtLineAndFindsTheBlankWidth) {
    // Ink gaps: 2 columns between "1" and "2", 7 at the typed blank.
    const QImage img = Pattern(Line("12 3", 1, 6, 8));
    const auto list = Taught(img, u"12 3");
    ReadingCheck c = Check(img, list, u"12 3");
    EXPECT_EQ(c.answer, u"123");
    EXPECT_TRUE(c.compared && c.agrees);
    EXPECT_TRUE(c.marks.empty() && c.partFits.empty());
    // Halfway between what separates glyphs and what separates numbers.
    EXPECT_EQ(c.suggestedBlankWidth, 5);
    EXPECT_TRUE(Has(DescribeCheck(c, {}), u"1行の文字と一致しています。"));
    EXPECT_TRUE(Has(DescribeCheck(c, {}), u"空白の幅を 5 にすると"));

    c = Check(img, list, u"12 3", {5, u","});
    EXPECT_EQ(c.answer, u"12,3");
    EXPECT_FALSE(c.blanksDiffer);
    EXPECT_FALSE(c.suggestedBlankWidth);
    for (const int width : {2, 8}) {
        c = Check(img, list, u"12 3", {width, u","});
        EXPECT_TRUE(c.blanksDiffer) << width;
        EXPECT_EQ(c.suggestedBlankWidth, 5);
    }
    // Typed without the blank: no suggestion, and a width that separates
    // there differs from what was typed.
    EXPECT_FALSE(Check(img, list, u"123").suggestedBlankWidth);
    EXPECT_TRUE(Check(img, list, u"123", {5, u","}).blanksDiffer);
    EXPECT_TRUE(Has(DescribeCheck(c, {5, u""}), u"区切りキャラクタが空のため"));
}

TEST(ReadingCheck, ATightDashFitsInsideOtherGlyphsAndIsMarked) {
    const QImage img = Pattern(Line("7-3", 1, 6, 8));
    auto list = Taught(img, u"7-3");
    ASSERT_TRUE(Check(img, list, u"7-3").agrees);

    // "-" cut again tightly: its ink row and one white row below.
    const LineSplit split = SplitLine(img);
    const QRect dash = split.cuts[1];
    list.erase(list.begin()); // "-" sorts first
    list.insert(list.begin(), TemplateOf(img, QRect(dash.left(), 4, dash.width(), 2), u"-"));
    const ReadingCheck c = Check(img, list, u"7-3");
    // Read at the 7's top bar, after the 7 itself.
    EXPECT_EQ(c.answer, u"7--3");
    EXPECT_FALSE(c.agrees);
    ASSERT_FALSE(c.marks.empty());
    for (const CheckMark& m : c.marks)
        EXPECT_GE(m.left, 0); // each with its place
    ASSERT_EQ(c.partFits.size(), 1u);
    EXPECT_EQ(c.partFits[0].read + c.partFits[0].glyph, u"-7");
    EXPECT_EQ(c.partFits[0].left, split.cuts[0].left());
    const auto lines = DescribeCheck(c, {});
    EXPECT_TRUE(Has(lines, u"1行の文字と違います: 余分な「-」。"));
    EXPECT_TRUE(Has(lines, u"「-」が「7」の一部にも当てはまっています"));

    // Without a taught line the part fits are still told.
    const ReadingCheck alone = Check(img, list, u"");
    EXPECT_FALSE(alone.compared);
    EXPECT_TRUE(Has(DescribeCheck(alone, {}), u"「-」がほかの文字の一部にも当てはまっています"));
}

TEST(ReadingCheck, ReadAsAnotherOrNotAtAllIsMarkedWhereTaught) {
    const QImage img = Pattern(Line("1212", 1, 6, 8));
    auto list = Taught(img, u"1212");
    list.erase(list.begin() + 1); // no "2" any more
    const ReadingCheck c = Check(img, list, u"1212");
    EXPECT_EQ(c.answer, u"11");
    ASSERT_EQ(c.marks.size(), 2u);
    const auto cells = SplitLine(img).cuts;
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(c.marks[i].kind, CheckMark::Kind::Missing);
        EXPECT_EQ(c.marks[i].expected, u"2");
        EXPECT_EQ(c.marks[i].left, cells[2 * i + 1].left());
    }
    EXPECT_TRUE(Has(DescribeCheck(c, {}), u"読めない「2」 (2か所)"));
    const ReadingCheck wrong = Check(img, Taught(img, u"1212"), u"1213");
    ASSERT_EQ(wrong.marks.size(), 1u);
    EXPECT_EQ(wrong.marks[0].kind, CheckMark::Kind::Wrong);
    EXPECT_TRUE(Has(DescribeCheck(wrong, {}), u"「3」が「2」に"));
    EXPECT_FALSE(c.missedAtRightEdge);
}

TEST(ReadingCheck, ALastCharacterTooCloseToTheRightEdgeIsExplained) {
    // Two columns after the last glyph: the scan stops before it.
    const QImage img = Pattern(Line("1.2", 1, 6, 2));
    const ReadingCheck c = Check(img, Taught(img, u"1.2"), u"1.2");
    EXPECT_EQ(c.answer, u"1.");
    EXPECT_TRUE(c.missedAtRightEdge);
    EXPECT_TRUE(Has(DescribeCheck(c, {}), u"最後の文字の右に余白を入れて"));
}

TEST(OwnFit, WhyATemplateCanNeverFitWhereItWasCut) {
    QImage colour = Pattern(Line("11", 1, 6, 1));
    const QRect first = SplitLine(colour).cuts[0];
    const QRect second = SplitLine(colour).cuts[1];
    // Red exactly 128: black at level 128, light for the reader.
    colour.setPixel(first.left() + 1, first.top(), qRgb(128, 0, 0));
    const auto area = capture::ToAreaImage(colour);
    const auto high =
        TemplateOf(Binarize(colour, 128, colour.width(), colour.height()), first, u"1");
    auto problems = OwnFitProblems(area, first, high, {high});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].kind, FitProblem::Kind::LevelTooHigh);
    EXPECT_EQ(problems[0].pixels, 1);
    EXPECT_EQ(problems[0].red, 128);
    EXPECT_NE(DescribeFitProblem(u"1", problems[0]).find(u"赤の値 128"), std::u16string::npos);
    // Red 120 at level 100: white in the template, dark for the reader.
    colour.setPixel(first.left() + 1, first.top(), qRgb(120, 0, 0));
    const auto low =
        TemplateOf(Binarize(colour, 100, colour.width(), colour.height()), first, u"1");
    problems = OwnFitProblems(capture::ToAreaImage(colour), first, low, {low});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].kind, FitProblem::Kind::LevelTooLow);

    const QImage two = Pattern(Line("11", 1, 6, 1));
    const auto clean = capture::ToAreaImage(two);
    const auto t = TemplateOf(two, first, u"1");
    EXPECT_TRUE(OwnFitProblems(clean, first, t, {t}).empty());
    // As tall as the area; reaching its bottom row; past the scan's end.
    const auto only = [&](const QRect& cut, const modTemp::ChrTempList& group) {
        const auto p = OwnFitProblems(clean, cut, TemplateOf(two, cut, u"1"), group);
        EXPECT_EQ(p.size(), 1u);
        return p.empty() ? FitProblem::Kind::LevelTooHigh : p[0].kind;
    };
    EXPECT_EQ(only(QRect(first.left(), 0, first.width(), two.height()), {t}),
              FitProblem::Kind::AsTallAsArea);
    EXPECT_EQ(only(QRect(first.left(), 1, first.width(), two.height() - 1), {t}),
              FitProblem::Kind::OnBottomRow);
    // The scan stops once a window twice the width of the group's last
    // template no longer starts inside the area.
    const auto wide = modTemp::ChrTemp::FromRows(u"9", 10, {1, 1});
    EXPECT_TRUE(OwnFitProblems(clean, second, t, {t}).empty());
    EXPECT_EQ(only(second, {t, wide}), FitProblem::Kind::BeyondScan);
    EXPECT_TRUE(OwnFitProblems(clean, first, t, {t, wide}).empty());
    // ... which the reader agrees with.
    EXPECT_EQ(CheckReading(clean, {t}, {}, {}, {}).answer, u"11");
    EXPECT_EQ(CheckReading(clean, {t, wide}, {}, {}, {}).answer, u"1");
}

TEST(ReadingCheck, WholeLineCutsFitAtTheHeightTheyWereCutOnly) {
    // White rows around the line: a "-" cut over the ink's height alone
    // fits the bottom bar of a "5" three rows lower.
    const QImage img = Pattern(Line("5-5", 1, 6, 8, 4, 4));
    const LineSplit split = SplitLine(img);
    modTemp::ChrTempList inkOnly;
    for (std::size_t i = 0; i < 2; ++i) {
        const QRect c = split.cuts[i];
        inkOnly.push_back(TemplateOf(
            img, QRect(c.left(), split.inkTop, c.width(), split.inkBottom - split.inkTop + 1),
            i == 0 ? u"5" : u"-"));
    }
    EXPECT_EQ(Check(img, glyphs::Sorted(inkOnly), u"5-5").answer, u"5--5");
    EXPECT_TRUE(Check(img, Taught(img, u"5-5"), u"5-5").agrees);
}

// The verdict, whether a line was typed or not: ink no character read covers
// is an unread place; with nothing taught yet there is nothing to point at.
TEST(ReadingCheck, UnreadInkIsFoundWithoutATypedLine) {
    const QImage img = Pattern(Line("12.3", 1, 6, 8));
    const auto all = Taught(img, u"12.3");
    ReadingCheck c = Check(img, all, u"");
    EXPECT_EQ(c.answer, u"12.3");
    EXPECT_TRUE(c.unread.empty());

    modTemp::ChrTempList noDot;
    for (const auto& t : all)
        if (t.Chr != u".") noDot.push_back(t);
    c = Check(img, noDot, u"");
    EXPECT_EQ(c.answer, u"123");
    ASSERT_EQ(c.unread.size(), 1u);
    const QRect dot = SplitLine(img).cuts[2]; // the third cell
    EXPECT_GE(c.unread[0].first, dot.left());
    EXPECT_LE(c.unread[0].last, dot.right());

    EXPECT_TRUE(Check(img, {}, u"").unread.empty());
}
