// Blanks between the characters read, on top of the literal scan.
#include "Blanks.h"
#include "GlyphDrawing.h"
#include "LiteralMatcher.h"

#include <gtest/gtest.h>

namespace {

using engine::AreaImage;
using engine::BlankRule;
using modTemp::ChrTemp;
using modTemp::ChrTempList;

// Templates as a user cuts them: the glyph and one white column on its right.
ChrTemp One() {
    return ChrTemp::FromRows(u"1", 4, {2, 3, 2, 7});
}
ChrTemp Seven() {
    return ChrTemp::FromRows(u"7", 4, {7, 4, 2, 2});
}
// A comma cut with a white column on both sides.
ChrTemp Comma() {
    return ChrTemp::FromRows(u",", 3, {0, 0, 2, 2});
}

void Draw(AreaImage& img, const ChrTemp& t, int x0) {
    fakes::DrawGlyph(img, t, x0, 1, 0x202020, false);
}

// The area: each template drawn at its column, one white row above, room
// for the scan on the right.
AreaImage Line(const ChrTempList& list, const std::vector<std::pair<int, int>>& at) {
    int width = 0;
    for (const auto& [i, x] : at)
        width = std::max(width, x + list[static_cast<std::size_t>(i)].width());
    AreaImage img(width + 12, 6);
    for (const auto& [i, x] : at)
        Draw(img, list[static_cast<std::size_t>(i)], x);
    return img;
}

std::vector<engine::ReadChar> Read(const AreaImage& img, const ChrTempList& list) {
    std::vector<engine::ReadChar> out;
    for (const literal::Found& f : literal::RunChars(img, list))
        out.push_back({f.index, f.left, f.column, f.row});
    return out;
}

std::u16string Answer(const ChrTempList& list, const std::vector<std::pair<int, int>>& at,
                      BlankRule rule) {
    const AreaImage img = Line(list, at);
    return engine::JoinReading(Read(img, list), list, rule);
}

} // namespace

TEST(Blanks, TheGapIsMeasuredBetweenInkNotBetweenTemplates) {
    // Sorted list: "1" (index 0), "7" (index 1). Ink of "1" is its columns
    // 0..2, of "7" its columns 0..2; the fourth column is the cut's margin.
    const ChrTempList list{One(), Seven()};
    // 1 at 2 (ink 2..4), 7 at 6 (ink 6..8): one blank column between inks;
    // 1 at 13 (ink 13..15): four blank columns; 7 at 17: one again.
    const std::vector<std::pair<int, int>> at{{0, 2}, {1, 6}, {0, 13}, {1, 17}};
    const AreaImage img = Line(list, at);
    ASSERT_EQ(literal::Run(img, list), u"1717");
    EXPECT_EQ(engine::InkGaps(Read(img, list), list), (std::vector<long long>{1, 4, 1}));

    EXPECT_EQ(Answer(list, at, {0, u","}), u"1717"); // off: as the reading always was
    EXPECT_EQ(Answer(list, at, {4, u","}), u"17,17");
    EXPECT_EQ(Answer(list, at, {5, u","}), u"1717");
    EXPECT_EQ(Answer(list, at, {1, u"/"}), u"1/7/1/7");
    EXPECT_EQ(Answer(list, at, {2, u" "}), u"17 17");
    EXPECT_EQ(Answer(list, at, {2, u""}), u"1717"); // no delimiter, nothing to put in
}

TEST(Blanks, ADelimiterThatWasReadIsNotDoubled) {
    // "," (index 0) is itself a character; blanks on both sides of it.
    const ChrTempList list{Comma(), One(), Seven()};
    const std::vector<std::pair<int, int>> at{{1, 2}, {0, 10}, {2, 18}, {1, 28}};
    ASSERT_EQ(literal::Run(Line(list, at), list), u"1,71");
    EXPECT_EQ(Answer(list, at, {3, u","}), u"1,7,1");
    EXPECT_EQ(Answer(list, at, {3, u";"}), u"1;,;7;1");
}

TEST(Blanks, ATemplateWithoutInkCountsItsWholeWidth) {
    const ChrTemp blank = ChrTemp::FromRows(u"_", 2, {0, 0, 0, 0});
    EXPECT_EQ(engine::TemplateInk(blank).first, 0);
    EXPECT_EQ(engine::TemplateInk(blank).last, 1);
    EXPECT_EQ(engine::TemplateInk(Comma()).first, 1);
    EXPECT_EQ(engine::TemplateInk(Comma()).last, 1);
    const ChrTempList list{blank};
    const std::vector<engine::ReadChar> chars{{0, 0, 0}, {0, 5, 5}};
    EXPECT_EQ(engine::InkGaps(chars, list), (std::vector<long long>{3}));
}

TEST(Blanks, TheStoredWidthIsItsLeadingNumberRounded) {
    EXPECT_EQ(engine::BlankWidthValue(u""), 0);
    EXPECT_EQ(engine::BlankWidthValue(u"abc"), 0);
    EXPECT_EQ(engine::BlankWidthValue(u"-3"), 0);
    EXPECT_EQ(engine::BlankWidthValue(u"0"), 0);
    EXPECT_EQ(engine::BlankWidthValue(u" 4"), 4);
    EXPECT_EQ(engine::BlankWidthValue(u"4.6px"), 5);
    EXPECT_EQ(engine::BlankWidthValue(u"2.5"), 2); // half to even, as every integer here
    EXPECT_GT(engine::BlankWidthValue(u"1e300"), 1'000'000);
    EXPECT_FALSE((BlankRule{0, u","}.active()));
    EXPECT_FALSE((BlankRule{3, u""}.active()));
    EXPECT_TRUE((BlankRule{3, u","}.active()));
}
