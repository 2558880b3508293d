// The matcher's and the scan's rules on hand-made areas.
#include "AreaReader.h"
#include "BitPlane.h"
#include "CpuFeatures.h"
#include "GlyphDrawing.h"
#include "LiteralMatcher.h"
#include "modTemp.h"

#include <gtest/gtest.h>

namespace {

using engine::AreaImage;
using modTemp::ChrTemp;
using modTemp::ChrTempList;

using fakes::kInk;
using fakes::kPaper;
using fakes::One;
using fakes::Seven;

void Draw(AreaImage& img, const ChrTemp& t, int x0, int y0) {
    fakes::DrawGlyph(img, t, x0, y0);
}

struct Search {
    int index;
    float score;
    float width;
};

Search SearchAt(const ChrTempList& list, const AreaImage& img, float left) {
    modTemp::ScanRect r{left, 0, 0, static_cast<float>(img.height)};
    float score = 0;
    const int index = modTemp::ChrSearch(list, r, img, 3, score);
    return {index, score, r.Width};
}

TEST(ChrSearch, PerfectFitWinsAndOneFlippedPixelDoesNot) {
    const ChrTempList list{One()};
    AreaImage img(10, 6);
    Draw(img, list[0], 0, 0);
    std::int16_t score = -1;
    EXPECT_TRUE(modTemp::TempMatch(list, 0, {0, 0, 6, 6}, img, 3, score));
    EXPECT_EQ(score, 0);
    EXPECT_EQ(SearchAt(list, img, 0).index, 0);

    img.setPixel(0, 0, kInk); // one pixel wrong
    EXPECT_TRUE(modTemp::TempMatch(list, 0, {0, 0, 6, 6}, img, 3, score));
    EXPECT_EQ(score, 1);
    const auto s = SearchAt(list, img, 0);
    EXPECT_EQ(s.index, modTemp::kNoMatch);
    EXPECT_EQ(s.score, 1);
}

TEST(ChrSearch, LowestIndexWinsAmongPerfectFitsAndWidthIsLeftAtTheLastTemplate) {
    // "1" and a copy named "l": both fit, the earlier one is taken.
    ChrTempList list{One(), ChrTemp::FromRows(u"l", 3, {2, 3, 2, 7}),
                     ChrTemp::FromRows(u"w", 5, {1, 1, 1, 1})};
    AreaImage img(12, 6);
    Draw(img, list[0], 1, 1);
    const auto s = SearchAt(list, img, 0);
    EXPECT_EQ(s.index, 0);
    EXPECT_EQ(s.score, 0);
    EXPECT_EQ(s.width, 10); // twice the last template's width
}

TEST(ChrSearch, EmptyGroupAnswers999AtOnce) {
    const auto s = SearchAt({}, AreaImage(5, 5), 0);
    EXPECT_EQ(s.index, modTemp::kNoMatch);
    EXPECT_EQ(s.score, 999);
    EXPECT_EQ(s.width, 0);
}

TEST(TempMatch, MismatchBoundsAndOffsets) {
    // A 2 x 2 all-ink template on a 4 x 3 window: placements u 0..1, v 0.
    const ChrTempList list{ChrTemp::FromRows(u"#", 2, {3, 3})};
    std::int16_t score = 0;
    AreaImage img(4, 3, kPaper);
    // Everything light: 4 mismatches everywhere, abandoned.
    EXPECT_FALSE(modTemp::TempMatch(list, 0, {0, 0, 4, 3}, img, 3, score));
    EXPECT_EQ(score, 999);
    // Three ink pixels at (0,0)-(1,1): the best placement has 1 mismatch.
    img.setPixel(0, 0, kInk);
    img.setPixel(1, 0, kInk);
    img.setPixel(0, 1, kInk);
    EXPECT_TRUE(modTemp::TempMatch(list, 0, {0, 0, 4, 3}, img, 3, score));
    EXPECT_EQ(score, 1);
    // Exactly three mismatches is neither abandoned nor a candidate.
    AreaImage three(4, 3, kPaper);
    three.setPixel(0, 0, kInk);
    EXPECT_FALSE(modTemp::TempMatch(list, 0, {0, 0, 4, 3}, three, 3, score));
    // The offsets stop one short: a block at the window's bottom rows or
    // right columns is only ever half covered.
    AreaImage bottom(4, 3, kPaper);
    for (int x = 0; x < 4; ++x)
        bottom.setPixel(x, 1, kInk), bottom.setPixel(x, 2, kInk);
    EXPECT_TRUE(modTemp::TempMatch(list, 0, {0, 0, 4, 3}, bottom, 3, score));
    EXPECT_EQ(score, 2);
    AreaImage right(4, 4, kPaper);
    for (int y = 0; y < 4; ++y)
        right.setPixel(2, y, kInk), right.setPixel(3, y, kInk);
    EXPECT_TRUE(modTemp::TempMatch(list, 0, {0, 0, 4, 4}, right, 3, score));
    EXPECT_EQ(score, 2);
}

TEST(TempMatch, RedAloneDecidesAndTheOutsideIsLight) {
    const ChrTempList list{ChrTemp::FromRows(u".", 1, {1})};
    std::int16_t score = 0;
    auto single = [&](std::uint32_t colour) {
        AreaImage img(2, 2, kPaper);
        img.setPixel(0, 0, colour);
        return modTemp::TempMatch(list, 0, {0, 0, 2, 2}, img, 3, score) && score == 0;
    };
    EXPECT_TRUE(single(0x00FFFF7F));  // red 127 with full green and blue: dark
    EXPECT_FALSE(single(0x00000080)); // red 128: light
    EXPECT_TRUE(single(0x00FF0000));  // pure blue: dark
    EXPECT_FALSE(single(0x000000FF)); // pure red: light

    // An all-background template fits past the right edge of the image.
    const ChrTempList blank{ChrTemp::FromRows(u" ", 2, {0, 0})};
    AreaImage ink(2, 3, kInk);
    EXPECT_TRUE(modTemp::TempMatch(blank, 0, {2, 0, 4, 3}, ink, 3, score));
    EXPECT_EQ(score, 0);
}

TEST(TempMatch, TemplateAsTallAsTheWindowNeverMatches) {
    const auto t = One(); // 4 rows
    AreaImage exact(6, 4);
    Draw(exact, t, 0, 0);
    std::int16_t score = 0;
    EXPECT_FALSE(modTemp::TempMatch({t}, 0, {0, 0, 6, 4}, exact, 3, score));
    AreaImage oneMore(6, 5);
    Draw(oneMore, t, 0, 0);
    EXPECT_TRUE(modTemp::TempMatch({t}, 0, {0, 0, 6, 5}, oneMore, 3, score));
    AreaImage lower(6, 5);
    Draw(lower, t, 0, 1); // only v = 0 is tried
    EXPECT_FALSE(modTemp::TempMatch({t}, 0, {0, 0, 6, 5}, lower, 3, score) && score == 0);
}

TEST(ReadArea, ReadsLeftToRight) {
    const ChrTempList list{One(), Seven()};
    AreaImage img(20, 6);
    Draw(img, list[0], 0, 1);
    Draw(img, list[1], 5, 1);
    Draw(img, list[0], 9, 0);
    EXPECT_EQ(engine::ReadArea(img, list), u"171");
    EXPECT_EQ(literal::Run(img, list), u"171");
}

TEST(ReadArea, UnknownGlyphIsPassedAndEmptyGroupReadsNothing) {
    const ChrTempList list{One()};
    AreaImage img(16, 6);
    Draw(img, Seven(), 0, 1);
    Draw(img, list[0], 8, 1);
    EXPECT_EQ(engine::ReadArea(img, list), u"1");
    EXPECT_EQ(engine::ReadArea(img, {}), u"");
    EXPECT_EQ(engine::ReadArea(AreaImage(0, 0), list), u"");
}

TEST(ReadArea, StopTestUsesTheLastTemplatesWindow) {
    // A 5- and a 7-column template, the 7-column one last; 40 columns. The
    // test follows each step: positions are tried while position + 14 < 40,
    // so the last one tried is 25. Its window for the 5-column template
    // reaches a glyph at column 29 (offset 4), not one at 30, which only
    // position 26 would find.
    ChrTempList list{ChrTemp::FromRows(u"a", 5, {31, 17, 31}),
                     ChrTemp::FromRows(u"b", 7, {127, 65, 127})};
    AreaImage at29(40, 4);
    Draw(at29, list[0], 29, 0);
    EXPECT_EQ(engine::ReadArea(at29, list), u"a");
    AreaImage at30(40, 4);
    Draw(at30, list[0], 30, 0);
    EXPECT_EQ(engine::ReadArea(at30, list), u"");
    EXPECT_EQ(literal::Run(at30, list), u"");
}

} // namespace

namespace {

// Both sampling paths (wide and narrow) against the per-pixel rule, on rows
// of every length around the 16-, 32- and 64-pixel steps.
TEST(BitPlane, SamplesEveryPixelByItsRedByte) {
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (const bool wide : {true, false}) {
        engine::cpu::AllowExtensions(wide);
        for (int w = 0; w <= 140; ++w) {
            AreaImage img(w, 3);
            for (auto& p : img.pixels) {
                const std::uint32_t r = next() % 3 == 0 ? 127 + next() % 2 : next() % 256;
                p = (next() & 0xFFFF00u) | r;
            }
            const engine::BitPlane plane(img);
            for (int y = 0; y < 3; ++y)
                for (int x = -2; x < w + 70; ++x)
                    ASSERT_EQ((plane.bitsAt(x, y) & 1) != 0,
                              img.contains(x, y) && engine::IsDark(img.pixel(x, y)))
                        << "wide " << wide << " width " << w << " at " << x << "," << y;
        }
    }
    engine::cpu::AllowExtensions(true);
}

} // namespace
