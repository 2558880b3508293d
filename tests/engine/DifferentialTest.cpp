// The production matcher and scan against the literal ones, on random and
// adversarial areas: every answer must be the same.
#include "AreaReader.h"
#include "CpuPaths.h"
#include "LiteralMatcher.h"
#include "modTemp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

using engine::AreaImage;
using modTemp::ChrTemp;
using modTemp::ChrTempList;

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    // Dark and light colours, often right at the 127/128 border of red, with
    // green and blue that must not matter.
    std::uint32_t dark() {
        const int r = chance(0.4) ? 127 : uniform(0, 127);
        return static_cast<std::uint32_t>(r | (uniform(0, 255) << 8) | (uniform(0, 255) << 16));
    }
    std::uint32_t light() {
        const int r = chance(0.4) ? 128 : uniform(128, 255);
        return static_cast<std::uint32_t>(r | (uniform(0, 255) << 8) | (uniform(0, 255) << 16));
    }

    ChrTemp glyph(char16_t name, int w, int h, double ink) {
        std::vector<std::int32_t> rows(static_cast<std::size_t>(h));
        for (auto& r : rows)
            for (int c = 0; c < w; ++c)
                if (chance(ink)) r |= 1 << c;
        if (chance(0.3) && !rows.empty())
            rows[0] |= static_cast<std::int32_t>(uniform(0, 255)) << w; // bits beyond the width
        return ChrTemp::FromRows(std::u16string(1, name), w, rows);
    }

    ChrTempList group(int count, int maxW, int maxH, double ink) {
        ChrTempList list;
        for (int i = 0; i < count; ++i)
            list.push_back(
                glyph(static_cast<char16_t>(u'0' + i), uniform(1, maxW), uniform(1, maxH), ink));
        return list;
    }

    void draw(AreaImage& img, const ChrTemp& t, int x0, int y0) {
        for (int r = 0; r < t.height(); ++r)
            for (int c = 0; c < t.width(); ++c)
                img.setPixel(x0 + c, y0 + r, t.dot(c, r) == 1.0f ? dark() : light());
    }

    AreaImage area(int w, int h, const ChrTempList& list, int glyphs, int noise) {
        AreaImage img(w, h);
        for (auto& p : img.pixels)
            p = chance(0.03) ? dark() : light();
        for (int g = 0; g < glyphs && !list.empty(); ++g) {
            const auto& t =
                list[static_cast<std::size_t>(uniform(0, static_cast<int>(list.size()) - 1))];
            draw(img, t, uniform(-2, w), uniform(-1, h - 1));
        }
        for (int n = 0; n < noise && w > 0 && h > 0; ++n) {
            const int x = uniform(0, w - 1), y = uniform(0, h - 1);
            img.setPixel(x, y, (img.pixel(x, y) & 0xFF) < 128 ? light() : dark());
        }
        return img;
    }

private:
    std::mt19937 rng_;
};

// What the cases of a test met, so that it can tell that they were not all
// alike: equal answers prove little when every area reads nothing.
struct Met {
    int cases = 0, withReading = 0, withoutReading = 0, fits = 0, misses = 0;
};

void ExpectSameEverywhere(const AreaImage& img, const ChrTempList& list, double limit, Generator& g,
                          const std::string& what, Met& met) {
    engine::AreaReader reader(list);
    std::vector<literal::Found> found;
    for (const engine::ReadChar& c : reader.readChars(img, limit))
        found.push_back({c.index, c.left, c.column, c.row});
    ASSERT_EQ(found, literal::RunChars(img, list, limit)) << what;
    ++met.cases;
    ++(found.empty() ? met.withoutReading : met.withReading);

    for (int probe = 0; probe < 4; ++probe) {
        const float left = static_cast<float>(g.uniform(-3, img.width + 2));
        modTemp::ScanRect r{left, 0, 0, static_cast<float>(img.height)};
        literal::ScanRect lr{left, 0, 0, static_cast<float>(img.height)};
        float score = 0, literalScore = 0;
        const int index = modTemp::ChrSearch(list, r, img, limit, score);
        const int literalIndex = literal::ChrSearch(list, lr, img, limit, literalScore);
        ASSERT_EQ(index, literalIndex) << what << " at " << left;
        ASSERT_EQ(score, literalScore) << what << " at " << left;
        ASSERT_EQ(r.Width, lr.Width) << what;

        if (list.empty()) continue;
        const int t = g.uniform(0, static_cast<int>(list.size()) - 1);
        const modTemp::ScanRect w{static_cast<float>(g.uniform(-4, img.width)),
                                  static_cast<float>(g.uniform(-3, img.height)),
                                  static_cast<float>(g.uniform(0, 3 * list[t].width() + 3)),
                                  static_cast<float>(g.uniform(0, img.height + 4))};
        std::int16_t s1 = 0, s2 = 0;
        const bool f1 = modTemp::TempMatch(list, t, w, img, limit, s1);
        const bool f2 =
            literal::TempMatch(list, t, {w.Left, w.Top, w.Width, w.Height}, img, limit, s2);
        ASSERT_EQ(f1, f2) << what;
        ASSERT_EQ(s1, s2) << what;
        ++(f1 ? met.fits : met.misses);
    }
}

// Both kinds of area and both answers of the matcher, each in at least one
// of twenty of what was tried.
void ExpectVaried(const Met& met) {
    std::printf("%d cases: %d read something, %d nothing; the matcher fitted %d times, missed %d\n",
                met.cases, met.withReading, met.withoutReading, met.fits, met.misses);
    EXPECT_GE(met.withReading * 20, met.cases);
    EXPECT_GE(met.withoutReading * 20, met.cases);
    EXPECT_GE(met.fits * 20, met.fits + met.misses);
    EXPECT_GE(met.misses * 20, met.fits + met.misses);
}

class Differential : public CpuPaths {};
TIRELMA_BOTH_CPU_PATHS(Differential);

TEST_P(Differential, RandomAreasWithDrawnGlyphs) {
    Generator g(20261207);
    Met met;
    for (int i = 0; i < 1500; ++i) {
        const auto list = g.group(g.uniform(0, 6), 8, 8, 0.45);
        const int h = g.uniform(0, 14);
        const auto img = g.area(g.uniform(0, 70), h, list, g.uniform(0, 8), g.uniform(0, 3));
        ExpectSameEverywhere(img, list, 3, g, "random case " + std::to_string(i), met);
    }
    ExpectVaried(met);
}

TEST_P(Differential, OtherMatchLimits) {
    Generator g(7);
    Met met;
    const double limits[] = {0, 0.5, 1, 2.5, 3, 4, 7.5, 1000};
    for (int i = 0; i < 400; ++i) {
        const auto list = g.group(g.uniform(1, 4), 6, 6, 0.4);
        const auto img =
            g.area(g.uniform(1, 40), g.uniform(1, 10), list, g.uniform(0, 5), g.uniform(0, 6));
        ExpectSameEverywhere(img, list, limits[i % 8], g, "limit case " + std::to_string(i), met);
    }
    ExpectVaried(met);
}

// Templates with one or two ink pixels are near-fits almost everywhere on a
// light area, so the 50-candidate cap decides whether a perfect fit further
// down the window counts.
TEST_P(Differential, CandidateCapFilledByNearFits) {
    Generator g(99);
    Met met;
    for (int i = 0; i < 300; ++i) {
        ChrTempList list;
        const int count = g.uniform(1, 3);
        for (int t = 0; t < count; ++t) {
            const int w = g.uniform(2, 9), h = g.uniform(1, 4);
            std::vector<std::int32_t> rows(static_cast<std::size_t>(h), 0);
            rows[static_cast<std::size_t>(g.uniform(0, h - 1))] |= 1 << g.uniform(0, w - 1);
            if (g.chance(0.5))
                rows[static_cast<std::size_t>(g.uniform(0, h - 1))] |= 1 << g.uniform(0, w - 1);
            list.push_back(
                ChrTemp::FromRows(std::u16string(1, static_cast<char16_t>(u'a' + t)), w, rows));
        }
        const int h = g.uniform(8, 40);
        AreaImage img(g.uniform(10, 50), h);
        for (auto& p : img.pixels)
            p = g.light();
        for (int k = 0; k < g.uniform(1, 4); ++k) {
            const auto& t = list[static_cast<std::size_t>(g.uniform(0, count - 1))];
            g.draw(img, t, g.uniform(0, img.width - 1), g.uniform(0, h - 1));
        }
        ExpectSameEverywhere(img, list, 3, g, "cap case " + std::to_string(i), met);
    }
    ExpectVaried(met);
}

TEST_P(Differential, TallTemplatesManyWidthsAndEdges) {
    Generator g(4242);
    Met met;
    for (int i = 0; i < 400; ++i) {
        const int h = g.uniform(1, 12);
        ChrTempList list;
        const int count = g.uniform(1, 40);
        for (int t = 0; t < count; ++t) {
            // Heights around the area's: as tall (never matches), one less
            // (only the top offset), and wider templates up to 30 columns.
            const int th = std::max(1, h - g.uniform(0, 2));
            list.push_back(g.glyph(static_cast<char16_t>(0x3041 + t), g.uniform(1, 30), th,
                                   g.chance(0.5) ? 0.5 : 0.0));
        }
        AreaImage img(g.uniform(0, 90), h);
        for (auto& p : img.pixels)
            p = g.light();
        for (int k = 0; k < 6; ++k) {
            const auto& t = list[static_cast<std::size_t>(g.uniform(0, count - 1))];
            // Glyphs that run past the right edge as often as not.
            g.draw(img, t, img.width - g.uniform(0, t.width() + 2), 0);
        }
        ExpectSameEverywhere(img, list, 3, g, "tall case " + std::to_string(i), met);
    }
    ExpectVaried(met);
}

} // namespace
