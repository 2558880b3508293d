// The reader on lines of real screen text: numbers, letters and signs drawn
// in the X11 bitmap fonts in three colour schemes, in areas a few rows
// taller than the cells, read with the templates a user cuts from them.
// Every answer must be the literal engine's, on the processor's fast paths
// and on the plain ones.
#include "AreaReader.h"
#include "CpuPaths.h"
#include "FitFinder.h"
#include "LiteralMatcher.h"
#include "ScreenLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

namespace {

using engine::AreaImage;
using modTemp::ChrTemp;
using modTemp::ChrTempList;

class ScreenLines : public CpuPaths {};
TIRELMA_BOTH_CPU_PATHS(ScreenLines);

std::vector<literal::Found> ReadChars(engine::AreaReader& reader, const AreaImage& img,
                                      double limit = 3) {
    std::vector<literal::Found> out;
    for (const engine::ReadChar& c : reader.readChars(img, limit))
        out.push_back({c.index, c.left, c.column, c.row});
    return out;
}

std::u16string WithoutBlanks(const std::u32string& text) {
    std::u16string out;
    for (const char32_t c : text)
        if (c != U' ') out += static_cast<char16_t>(c);
    return out;
}

int Pick(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// A line whose cells stand at a row the scan reaches (above the bottom
// offset) and end before the scan stops (two cells short of the right
// edge) is read as drawn, in every font and scheme: the lines and templates
// of these tests are the real thing, not noise.
TEST_P(ScreenLines, CleanLinesReadAsDrawn) {
    for (const char* font : lines::kFontNames) {
        for (const auto& scheme : lines::kSchemes) {
            for (const int group : {14, 40}) {
                const auto& f = lines::Font(font);
                const auto chars = lines::GroupChars(group);
                engine::AreaReader reader(lines::CutGroup(f, chars, scheme));
                for (int slack = 1; slack <= 6; ++slack) {
                    const int row = (slack * 7 + group) % slack;
                    const int margin = 2 * f.glyph(U'0').advance;
                    const auto line = lines::DrawLine(f, scheme, chars, 150, slack, row,
                                                      lines::Variant::Clean, 17u * slack, margin);
                    EXPECT_EQ(reader.read(line.image), WithoutBlanks(line.text))
                        << font << " " << scheme.name << " slack " << slack << " row " << row;
                }
            }
        }
    }
}

// Lines of every font, scheme and group size, with the text at any row
// (the lowest one included, which the scan never reaches), clean, noisy or
// with near-misses: the literal engine's characters, positions and columns.
TEST_P(ScreenLines, FontLinesAgreeWithTheLiteralEngine) {
    std::mt19937 rng(20261208);
    const int groups[] = {4, 14, 40, 100};
    const lines::Variant variants[] = {lines::Variant::Clean, lines::Variant::Noise,
                                       lines::Variant::NearMiss};
    for (int i = 0; i < 96; ++i) {
        const auto& f = lines::Font(lines::kFontNames[Pick(rng, 0, 5)]);
        const auto& scheme = lines::kSchemes[Pick(rng, 0, 2)];
        const auto chars = lines::GroupChars(groups[i % 4]);
        const int slack = Pick(rng, 0, 10) < 8 ? Pick(rng, 2, 6) : Pick(rng, 0, 12);
        const int width = Pick(rng, 1, 140);
        const auto variant = variants[Pick(rng, 0, 2)];
        const auto line = lines::DrawLine(f, scheme, chars, width, slack, Pick(rng, 0, slack),
                                          variant, static_cast<unsigned>(i));
        const auto list = lines::CutGroup(f, chars, scheme);
        engine::AreaReader reader(list);
        ASSERT_EQ(ReadChars(reader, line.image), literal::RunChars(line.image, list))
            << "case " << i << ": " << f.name << " " << scheme.name << " width " << width
            << " slack " << slack << " " << lines::VariantName(variant) << " group "
            << groups[i % 4];
    }
}

// A cut of a sign that keeps only one or two of its foreground pixels (a
// user dragging tightly around a dot) mismatches a plain stretch in one or
// two pixels: a near-fit at every placement there. In a tall area 50 of
// them come before a perfect fit lower down, and the cap decides whether
// that fit counts. Glyphs stand at rows of their own, exact or one pixel
// off.
TEST_P(ScreenLines, NearFitsFillTheCapBeforeAPerfectFit) {
    std::mt19937 rng(7031);
    int capDecided = 0;
    const int cases = 150;
    for (int i = 0; i < cases; ++i) {
        const auto& f = lines::Font(lines::kFontNames[Pick(rng, 0, 5)]);
        const auto& scheme = lines::kSchemes[Pick(rng, 0, 2)];
        const std::u32string signs = U".,-'`:";
        ChrTempList list = lines::CutGroup(f, U"0123456789", scheme);
        std::vector<std::pair<char32_t, std::array<int, 4>>> cuts; // sign, left/top/width/height
        for (int k = 0, n = Pick(rng, 1, 3); k < n; ++k) {
            const char32_t c = signs[static_cast<std::size_t>(Pick(rng, 0, 5))];
            // The sign's topmost foreground pixel, and a small box around it.
            int inkX = 0, inkY = 0;
            for (int y = f.cellHeight() - 1; y >= 0; --y)
                for (int x = f.glyph(c).advance - 1; x >= 0; --x)
                    if (f.ink(c, x, y)) inkX = x, inkY = y;
            const int w = Pick(rng, 2, 9), h = Pick(rng, 1, 3);
            const std::array<int, 4> box{inkX - Pick(rng, 0, w - 1), inkY - Pick(rng, 0, h - 1), w,
                                         h};
            auto t = lines::CutTemplate(f, c, scheme, box[0], box[1], box[2], box[3]);
            t.Chr = std::u16string(1, static_cast<char16_t>(u'a' + k));
            list.push_back(t);
            cuts.push_back({c, box});
        }
        const int height = f.cellHeight() + Pick(rng, 8, 30);
        AreaImage img(Pick(rng, 10, 90), height, scheme.paper);
        for (int x = Pick(rng, 0, 3); x < img.width;) {
            const bool sign = Pick(rng, 0, 2) == 0;
            const int y0 = Pick(rng, 0, height - 1);
            if (sign) {
                // The cut itself, drawn as it was cut.
                const auto& [c, box] =
                    cuts[static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(cuts.size()) - 1))];
                const auto px = lines::Cell(f, c, scheme);
                for (int y = 0; y < box[3]; ++y)
                    for (int k = 0; k < box[2]; ++k) {
                        const int cx = box[0] + k, cy = box[1] + y;
                        const bool inside =
                            cx >= 0 && cy >= 0 && cx < f.glyph(c).advance && cy < f.cellHeight();
                        img.setPixel(
                            x + k, y0 + y,
                            inside ? px[static_cast<std::size_t>(cy * f.glyph(c).advance + cx)]
                                   : scheme.paper);
                    }
                x += box[2] + Pick(rng, 0, 12);
            } else {
                const char32_t c = U'0' + static_cast<char32_t>(Pick(rng, 0, 9));
                const auto px = lines::Cell(f, c, scheme);
                const int adv = f.glyph(c).advance;
                for (int y = 0; y < f.cellHeight(); ++y)
                    for (int k = 0; k < adv; ++k)
                        img.setPixel(x + k, y0 + y, px[static_cast<std::size_t>(y * adv + k)]);
                if (Pick(rng, 0, 3) == 0) // one pixel off
                    img.setPixel(x + Pick(rng, 0, adv - 1), y0 + Pick(rng, 0, f.cellHeight() - 1),
                                 Pick(rng, 0, 1) ? scheme.ink : scheme.paper);
                x += adv + Pick(rng, 0, 6);
            }
        }
        std::sort(list.begin(), list.end(),
                  [](const ChrTemp& a, const ChrTemp& b) { return a.Chr < b.Chr; });
        engine::AreaReader reader(list);
        const auto expected = literal::RunChars(img, list);
        ASSERT_EQ(ReadChars(reader, img), expected)
            << "case " << i << ": " << f.name << " " << scheme.name << " " << img.width << "x"
            << img.height;
        if (expected != literal::RunChars(img, list, 3, 1'000'000)) ++capDecided;
    }
    // The cap changed the reading in a good share of the cases, so they test it.
    EXPECT_GT(capDecided, cases / 10);
}

// The finder on its own: exactly the perfect fits (each template and
// column once, with its top-most row), for templates of every width and
// height, plain ones, mostly-ink ones and cells of both colour schemes, on
// light and dark areas of widths across the 32-byte steps.
TEST_P(ScreenLines, FitFinderFindsEveryPerfectFitAndNothingElse) {
    std::mt19937 rng(55);
    for (int i = 0; i < 300; ++i) {
        ChrTempList list;
        const bool darkArea = Pick(rng, 0, 1) == 1;
        for (int t = 0, n = Pick(rng, 1, 20); t < n; ++t) {
            const int w = Pick(rng, 0, 3) == 0 ? Pick(rng, 1, 30) : Pick(rng, 2, 10);
            const int h = Pick(rng, 1, 9);
            const double inks[] = {0, 0.05, 0.5, 0.95, 1};
            const double ink = inks[Pick(rng, 0, 4)];
            std::vector<std::int32_t> rows(static_cast<std::size_t>(h));
            for (auto& r : rows)
                for (int c = 0; c < w; ++c)
                    if (std::bernoulli_distribution(ink)(rng)) r |= 1 << c;
            list.push_back(
                ChrTemp::FromRows(std::u16string(1, static_cast<char16_t>(0x100 + t)), w, rows));
        }
        AreaImage img(Pick(rng, 0, 300), Pick(rng, 1, 14), darkArea ? 0x00400000u : 0x00F0F0F0u);
        for (int g = 0, n = Pick(rng, 0, 40); g < n; ++g) {
            const auto& t =
                list[static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(list.size()) - 1))];
            const int x0 = Pick(rng, -3, img.width), y0 = Pick(rng, -1, img.height);
            for (int r = 0; r < t.height(); ++r)
                for (int c = 0; c < t.width(); ++c)
                    img.setPixel(x0 + c, y0 + r, t.dot(c, r) == 1.0f ? 0x0000107Fu : 0x00000080u);
        }
        for (int k = 0, n = Pick(rng, 0, 5); k < n && img.width > 0; ++k)
            img.setPixel(Pick(rng, 0, img.width - 1), Pick(rng, 0, img.height - 1), rng());

        int maxWidth = 0;
        for (const auto& t : list)
            maxWidth = std::max(maxWidth, t.width());
        const long long columns = std::max(img.width, 1) + maxWidth;
        engine::BitPlane plane(img, engine::FitFinder::PaddingColumns(maxWidth + 1));
        engine::FitFinder finder(list);
        std::vector<engine::Fit> found;
        finder.find(plane, columns, found);

        std::vector<engine::Fit> expected;
        for (long long x = 0; x < columns; ++x)
            for (int t = 0; t < static_cast<int>(list.size()); ++t) {
                const auto& tm = list[static_cast<std::size_t>(t)];
                for (int v = 0; v <= img.height - tm.height() - 1; ++v)
                    if (plane.mismatches(tm.Rows.data(), tm.height(), tm.width(), x, v, 1) == 0) {
                        expected.push_back({x, v, t});
                        break;
                    }
            }
        ASSERT_EQ(found, expected) << "case " << i;
        // The walk of the cap: whether fewer than `cap` near-fits come
        // before a placement, against a count of every placement before it.
        for (int k = 0; k < 20; ++k) {
            const int t = Pick(rng, 0, static_cast<int>(list.size()) - 1);
            const auto& tm = list[static_cast<std::size_t>(t)];
            const int lastV = img.height - tm.height() - 1;
            if (lastV < 0) continue;
            const int v0 = Pick(rng, 0, lastV), u0 = Pick(rng, 0, tm.width() - 1);
            const long long left = Pick(rng, 0, std::max(0, img.width - 1));
            const double limits[] = {1, 2.5, 3, 4, 1e12};
            const double limit = limits[Pick(rng, 0, 4)];
            const int stopAt = limit > 1e9 ? 1'000'000'000 : static_cast<int>(std::ceil(limit));
            const int cap = Pick(rng, 1, 60);
            int near = 0;
            bool perfectBefore = false;
            for (int v = 0; v <= v0; ++v)
                for (int u = 0; u < (v < v0 ? tm.width() : u0); ++u) {
                    const int s = plane.mismatches(tm.Rows.data(), tm.height(), tm.width(),
                                                   left + u, v, 1'000'000);
                    perfectBefore = perfectBefore || s == 0;
                    if (s > 0 && s < limit) ++near;
                }
            if (perfectBefore) continue; // the walk is asked only up to the first perfect fit
            ASSERT_EQ(finder.fewerNearFits(plane, t, left, u0, v0, limit, stopAt, cap), near < cap)
                << "case " << i << " template " << t << " at " << left << " (" << u0 << ", " << v0
                << ") limit " << limit << " cap " << cap;
        }
    }
}

} // namespace
