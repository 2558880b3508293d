// The verdict of a reading: every ink pixel of the area inside the box of a
// character read, or the places where it is not. Held against a pixel by
// pixel check written from the definition, on the screen lines of the reader
// tests, and on the cases users meet: a character missing from the group, a
// glyph past the end of the scan, light on dark, the bottom row.
#include "Verdict.h"
#include "AreaReader.h"
#include "CpuPaths.h"
#include "LiteralMatcher.h"
#include "ScreenLines.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using engine::AreaImage;
using engine::UnreadPlace;
using modTemp::ChrTempList;

// The definition, pixel by pixel: the background is the level of most border
// pixels; ink is the other level; a character read covers its template's
// box where it fitted, and on the bottom row the template's columns.
std::vector<UnreadPlace> BruteUnread(const AreaImage& img, const ChrTempList& list,
                                     const std::vector<engine::ReadChar>& chars) {
    const int w = img.width, h = img.height;
    auto dark = [&](int x, int y) { return (img.pixel(x, y) & 0xFF) < 128; };
    int border = 0, darkBorder = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (y == 0 || y == h - 1 || x == 0 || x == w - 1) {
                ++border;
                darkBorder += dark(x, y) ? 1 : 0;
            }
    const bool darkBackground = 2 * darkBorder > border;
    auto covered = [&](int x, int y) {
        for (const auto& c : chars) {
            const auto& t = list[static_cast<std::size_t>(c.index)];
            const bool columns = x >= c.column && x < c.column + t.width();
            const bool rows = y >= c.row && y < c.row + t.height();
            if (columns && (rows || y == h - 1)) return true;
        }
        return false;
    };
    auto unread = [&](int x, int y) { return dark(x, y) != darkBackground && !covered(x, y); };
    std::vector<UnreadPlace> places;
    for (int x = 0; x < w; ++x) {
        int top = h, bottom = -1;
        for (int y = 0; y < h; ++y)
            if (unread(x, y)) top = std::min(top, y), bottom = y;
        if (bottom < 0) continue;
        if (!places.empty() && places.back().last == x - 1) {
            places.back().last = x;
            places.back().top = std::min(places.back().top, top);
            places.back().bottom = std::max(places.back().bottom, bottom);
        } else {
            places.push_back({x, x, top, bottom});
        }
    }
    return places;
}

std::u16string WithoutBlanks(const std::u32string& text) {
    std::u16string out;
    for (const char32_t c : text)
        if (c != U' ') out += static_cast<char16_t>(c);
    return out;
}

std::u16string Text(const std::vector<engine::ReadChar>& chars, const ChrTempList& list) {
    std::u16string out;
    for (const auto& c : chars)
        out += list[static_cast<std::size_t>(c.index)].Chr;
    return out;
}

int Pick(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

class VerdictLines : public CpuPaths {};
TIRELMA_BOTH_CPU_PATHS(VerdictLines);

// Lines of every font and colour scheme, their text at any row (the lowest
// one too), clean, noisy or with near-misses, groups with characters taken
// out, text up to the right edge or short of it: the verdict is the pixel by
// pixel one. Where the line is clean, whatever the reader misses is an
// incomplete reading and a reading of everything drawn is complete.
TEST_P(VerdictLines, AgreesWithThePixelByPixelCheck) {
    std::mt19937 rng(16016);
    const int groups[] = {4, 14, 40, 100};
    const lines::Variant variants[] = {lines::Variant::Clean, lines::Variant::Noise,
                                       lines::Variant::NearMiss};
    int complete = 0, incomplete = 0, missedAtEdge = 0, missedRemoved = 0;
    for (int i = 0; i < 600; ++i) {
        const auto& f = lines::Font(lines::kFontNames[Pick(rng, 0, 5)]);
        const auto& scheme = lines::kSchemes[Pick(rng, 0, 2)];
        const int group = groups[Pick(rng, 0, 3)];
        const auto chars = lines::GroupChars(group);
        const int slack = Pick(rng, 0, 10) < 8 ? Pick(rng, 1, 6) : Pick(rng, 0, 12);
        const int row = Pick(rng, 0, 6) == 0 ? slack : Pick(rng, 0, std::max(0, slack - 1));
        const auto variant = variants[Pick(rng, 0, 4) == 0 ? Pick(rng, 1, 2) : 0];
        const int margin = Pick(rng, 0, 1) ? 0 : 2 * f.glyph(U'0').advance;
        const auto line = lines::DrawLine(f, scheme, chars, Pick(rng, 1, 300), slack, row, variant,
                                          static_cast<unsigned>(i), margin);
        // A few characters of the group never taught (or deleted since).
        std::u32string taught = chars, removed;
        for (int k = Pick(rng, 0, 3) == 0 ? Pick(rng, 1, 3) : 0; k > 0; --k) {
            const auto at =
                static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(taught.size()) - 1));
            removed += taught[at];
            taught.erase(at, 1);
        }
        const auto list = lines::CutGroup(f, taught, scheme);
        engine::AreaReader reader(list);
        const auto judged = reader.readJudged(line.image);
        const auto expected = BruteUnread(line.image, list, judged.chars);
        const std::string what = "case " + std::to_string(i) + ": " + f.name + " " + scheme.name +
                                 " " + std::to_string(line.image.width) + "x" +
                                 std::to_string(line.image.height) + " row " + std::to_string(row) +
                                 " " + lines::VariantName(variant);
        ASSERT_EQ(judged.unread, expected) << what;
        ASSERT_EQ(engine::UnreadInk(line.image, list, judged.chars), expected) << what;

        if (variant != lines::Variant::Clean || group > 14) continue;
        // Digits and signs differ in every font, so a reading of everything
        // drawn is exactly the text.
        const bool all = Text(judged.chars, list) == WithoutBlanks(line.text);
        EXPECT_EQ(judged.unread.empty(), all) << what;
        (all ? complete : incomplete)++;
        if (!all && removed.empty() && row < slack) ++missedAtEdge;
        if (!all && line.text.find_first_of(removed) != std::u32string::npos) ++missedRemoved;
    }
    // Each kind of case came up often enough to count.
    EXPECT_GT(complete, 50);
    EXPECT_GT(incomplete, 50);
    EXPECT_GT(missedAtEdge, 10);
    EXPECT_GT(missedRemoved, 10);
}

// Random glyphs over random areas, dark and light, with the characters
// the literal engine reads: the same places as the check.
TEST_P(VerdictLines, RandomAreasAgreeToo) {
    std::mt19937 rng(77);
    for (int i = 0; i < 400; ++i) {
        ChrTempList list;
        for (int t = 0, n = Pick(rng, 1, 6); t < n; ++t) {
            const int w = Pick(rng, 1, 8), h = Pick(rng, 1, 6);
            std::vector<std::int32_t> rows(static_cast<std::size_t>(h));
            for (auto& r : rows)
                r = static_cast<std::int32_t>(rng() & ((1u << w) - 1));
            list.push_back(modTemp::ChrTemp::FromRows(
                std::u16string(1, static_cast<char16_t>(u'a' + t)), w, rows));
        }
        const bool darkArea = Pick(rng, 0, 1) == 1;
        AreaImage img(Pick(rng, 0, 70), Pick(rng, 0, 10), darkArea ? 0x00200000u : 0x00F0F0F0u);
        for (int g = 0, n = Pick(rng, 0, 8); g < n; ++g) {
            const auto& t =
                list[static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(list.size()) - 1))];
            const int x0 = Pick(rng, -2, img.width), y0 = Pick(rng, -1, img.height);
            for (int r = 0; r < t.height(); ++r)
                for (int c = 0; c < t.width(); ++c)
                    img.setPixel(x0 + c, y0 + r, t.dot(c, r) == 1.0f ? 0x0000107Fu : 0x00000080u);
        }
        for (int k = 0, n = Pick(rng, 0, 3); k < n && img.width > 0 && img.height > 0; ++k)
            img.setPixel(Pick(rng, 0, img.width - 1), Pick(rng, 0, img.height - 1), rng());
        std::vector<engine::ReadChar> chars;
        for (const auto& f : literal::RunChars(img, list))
            chars.push_back({f.index, f.left, f.column, f.row});
        engine::AreaReader reader(list);
        const auto judged = reader.readJudged(img);
        ASSERT_EQ(judged.chars.size(), chars.size()) << "case " << i;
        ASSERT_EQ(judged.unread, BruteUnread(img, list, chars)) << "case " << i;
    }
}

// "-7.25/368,1490" with "." missing from the group: the reading drops the
// dot, and the verdict names the dot's columns and rows; taught, the same
// line is complete. The same white on navy.
TEST(Verdict, AMissingCharacterIsAnUnreadPlace) {
    const auto& f = lines::Font("6x13");
    for (const auto& scheme : {lines::kSchemes[0], lines::kSchemes[2]}) {
        const std::u32string text = U"-7.25/368,1490";
        const int advance = f.glyph(U'0').advance;
        AreaImage img(2 + advance * static_cast<int>(text.size()) + 4 * advance, f.cellHeight() + 3,
                      scheme.paper);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto px = lines::Cell(f, text[i], scheme);
            for (int y = 0; y < f.cellHeight(); ++y)
                for (int x = 0; x < advance; ++x)
                    img.setPixel(2 + advance * static_cast<int>(i) + x, 1 + y,
                                 px[static_cast<std::size_t>(y * advance + x)]);
        }
        engine::AreaReader all(lines::CutGroup(f, U"0123456789.,-/", scheme));
        const auto whole = all.readJudged(img);
        EXPECT_EQ(Text(whole.chars, all.templates()), u"-7.25/368,1490") << scheme.name;
        EXPECT_TRUE(whole.unread.empty()) << scheme.name;

        engine::AreaReader noDot(lines::CutGroup(f, U"0123456789,-/", scheme));
        const auto judged = noDot.readJudged(img);
        EXPECT_EQ(Text(judged.chars, noDot.templates()), u"-725/368,1490") << scheme.name;
        ASSERT_EQ(judged.unread.size(), 1u) << scheme.name;
        // The dot's ink lies in its cell, the third one.
        const UnreadPlace& p = judged.unread.front();
        EXPECT_GE(p.first, 2 + 2 * advance);
        EXPECT_LE(p.last, 2 + 3 * advance - 1);
        EXPECT_GE(p.top, 1);
        EXPECT_LE(p.bottom, f.cellHeight());
    }
}

// A counter grown to the edge of its area: its last digit starts where the
// scan no longer looks, and is an unread place.
TEST(Verdict, ADigitPastTheEndOfTheScanIsUnread) {
    const auto& f = lines::Font("8x13");
    const auto& scheme = lines::kSchemes[0];
    const auto list = lines::CutGroup(f, U"0123456789", scheme);
    const int advance = f.glyph(U'0').advance;
    AreaImage img(1 + 5 * advance + 1, f.cellHeight() + 2, scheme.paper);
    const std::u32string text = U"12345";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto px = lines::Cell(f, text[i], scheme);
        for (int y = 0; y < f.cellHeight(); ++y)
            for (int x = 0; x < advance; ++x)
                img.setPixel(1 + advance * static_cast<int>(i) + x, y,
                             px[static_cast<std::size_t>(y * advance + x)]);
    }
    engine::AreaReader reader(list);
    const auto judged = reader.readJudged(img);
    const std::u16string read = Text(judged.chars, list);
    ASSERT_LT(read.size(), 5u); // the scan stops two windows short of the edge
    ASSERT_FALSE(judged.unread.empty());
    EXPECT_GE(judged.unread.front().first, 1 + static_cast<int>(read.size()) * advance);
}

// The background is the level of most border pixels; ink on the bottom row,
// which no template can cover, counts only where no character read stands.
TEST(Verdict, BackgroundAndBottomRow) {
    // A 3 x 2 template of ink at the top-left, over rows 0..1.
    const ChrTempList list{modTemp::ChrTemp::FromRows(u"a", 3, {0b111, 0b101})};
    engine::AreaReader reader(list);
    AreaImage img(20, 4); // white
    const auto ink = [&](int x, int y) { img.setPixel(x, y, 0x00000000); };
    ink(2, 0), ink(3, 0), ink(4, 0), ink(2, 1), ink(4, 1);
    auto judged = reader.readJudged(img);
    ASSERT_EQ(judged.chars.size(), 1u);
    EXPECT_EQ(judged.chars[0].column, 2);
    EXPECT_EQ(judged.chars[0].row, 0);
    EXPECT_TRUE(judged.unread.empty());

    // The glyph's foot on the bottom row, under the character: complete.
    ink(3, 3);
    EXPECT_TRUE(reader.readJudged(img).unread.empty());
    // A dot on the bottom row beside it: unread.
    ink(12, 3);
    judged = reader.readJudged(img);
    EXPECT_EQ(judged.unread, (std::vector<UnreadPlace>{{12, 12, 3, 3}}));
    // Ink in the rows under the box, not on the bottom row: unread.
    ink(3, 2);
    judged = reader.readJudged(img);
    EXPECT_EQ(judged.unread, (std::vector<UnreadPlace>{{3, 3, 2, 2}, {12, 12, 3, 3}}));

    // The same area inverted: the background is dark now, and white is ink.
    for (auto& p : img.pixels)
        p = p == 0 ? 0x00FFFFFF : 0x00400000; // navy-ish, red 0
    EXPECT_TRUE(engine::DarkBackground(engine::BitPlane(img)));
    EXPECT_EQ(engine::UnreadInk(img, list, {}),
              (std::vector<UnreadPlace>{{2, 4, 0, 3}, {12, 12, 3, 3}}));
    // Half the border dark is not a dark background.
    AreaImage half(4, 2);
    half.setPixel(0, 0, 0), half.setPixel(1, 0, 0), half.setPixel(2, 0, 0), half.setPixel(3, 0, 0);
    EXPECT_FALSE(engine::DarkBackground(engine::BitPlane(half)));
}

// Nothing to read is a complete reading: no pixels, no ink, or a picture
// that is all one colour, light or dark.
TEST(Verdict, EmptyAreasAreComplete) {
    const ChrTempList list{modTemp::ChrTemp::FromRows(u"a", 2, {0b11, 0b01})};
    engine::AreaReader reader(list);
    for (const AreaImage& img : {AreaImage(), AreaImage(0, 5), AreaImage(7, 0), AreaImage(30, 6),
                                 AreaImage(30, 6, 0x00000000), AreaImage(1, 1, 0x00000000)}) {
        const auto judged = reader.readJudged(img);
        EXPECT_TRUE(judged.chars.empty());
        EXPECT_TRUE(judged.unread.empty()) << img.width << "x" << img.height;
    }
    // An empty group reads nothing, and the ink is unread.
    engine::AreaReader none({});
    AreaImage img(10, 4);
    img.setPixel(5, 1, 0);
    const auto judged = none.readJudged(img);
    EXPECT_EQ(judged.unread, (std::vector<UnreadPlace>{{5, 5, 1, 1}}));
}

} // namespace
