#include "AreaReader.h"

#include "BitPlane.h"
#include "modTemp.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace engine {

namespace {

using Bits = std::vector<std::uint64_t>;

bool TestBit(const Bits& b, long long x) {
    return x >= 0 && static_cast<std::size_t>(x / 64) < b.size() && ((b[x / 64] >> (x % 64)) & 1);
}

// Bits [x, x + n) of b as a number (n <= 64); beyond the end reads 0.
std::uint64_t Extract(const Bits& b, long long x, int n) {
    const std::size_t wi = static_cast<std::size_t>(x / 64);
    const int shift = static_cast<int>(x % 64);
    std::uint64_t v = wi < b.size() ? b[wi] >> shift : 0;
    if (shift != 0 && wi + 1 < b.size()) v |= b[wi + 1] << (64 - shift);
    return n >= 64 ? v : v & ((std::uint64_t{1} << n) - 1);
}

// Word wi of row y shifted right by k columns (bit i = column 64 * wi + i + k).
std::uint64_t Shifted(const BitPlane& plane, int y, std::size_t wi, int k) {
    const std::uint64_t* row = plane.row(y);
    std::uint64_t v = row[wi] >> k;
    if (k != 0 && wi + 1 < plane.wordsPerRow()) v |= row[wi + 1] << (64 - k);
    return v;
}

struct Template {
    const modTemp::ChrTemp* t;
    Bits fits; // bit x: a perfect fit with its left column at x, at some row
};

// Every column x in [0, columns) where t fits with no mismatch at some
// vertical offset v in [0, H - th - 1].
Bits PerfectFits(const BitPlane& plane, const modTemp::ChrTemp& t, long long columns) {
    const int tw = t.width();
    const int th = t.height();
    const std::size_t words = static_cast<std::size_t>((columns + 63) / 64);
    Bits fits(words, 0);
    Bits acc(words);
    for (int v = 0; v <= plane.height() - th - 1; ++v) {
        std::fill(acc.begin(), acc.end(), ~std::uint64_t{0});
        if (columns % 64) acc.back() = (std::uint64_t{1} << (columns % 64)) - 1;
        bool any = true;
        for (int j = 0; j < th && any; ++j) {
            any = false;
            const std::uint32_t m = t.Rows[static_cast<std::size_t>(j)];
            for (std::size_t wi = 0; wi < words; ++wi) {
                std::uint64_t r = acc[wi];
                // Ink columns first: on a light background they rule out most places at once.
                for (int k = 0; k < tw && r; ++k)
                    if ((m >> k) & 1) r &= Shifted(plane, v + j, wi, k);
                for (int k = 0; k < tw && r; ++k)
                    if (!((m >> k) & 1)) r &= ~Shifted(plane, v + j, wi, k);
                acc[wi] = r;
                any = any || r != 0;
            }
        }
        if (any)
            for (std::size_t wi = 0; wi < words; ++wi) fits[wi] |= acc[wi];
    }
    return fits;
}

// Whether template t wins its window at position L: walking the placements
// in window order, a perfect fit comes before the 50th near-fit.
bool FitsAt(const BitPlane& plane, const modTemp::ChrTemp& t, long long L, double limit,
            int stopAt) {
    const int tw = t.width();
    const int th = t.height();
    int candidates = 0;
    for (int v = 0; v <= plane.height() - th - 1; ++v) {
        for (int u = 0; u < tw; ++u) {
            const int score = plane.mismatches(t.Rows.data(), th, tw, L + u, v, stopAt);
            if (score < stopAt && static_cast<double>(score) < limit) {
                if (score == 0) return true;
                if (++candidates == modTemp::kMaxCandidates) return false;
            }
        }
    }
    return false;
}

} // namespace

std::u16string ReadArea(const AreaImage& image, const modTemp::ChrTempList& list, double matchLimit) {
    std::u16string answer;
    // No template, or a bound that admits no perfect fit: every position gives 999.
    if (list.empty() || !(0.0 < matchLimit)) return answer;
    const int stopAt = matchLimit > 1e9 ? 1'000'000'000 : static_cast<int>(std::ceil(matchLimit));

    int maxTw = 0;
    for (const auto& t : list) maxTw = std::max(maxTw, t.width());
    // Every position tried is below the width (or 0), and a window reaches
    // at most its template's width past the position.
    const long long columns = static_cast<long long>(std::max(image.width, 1)) + maxTw;
    const BitPlane plane(image, static_cast<int>(2 * maxTw + 64));

    std::vector<Template> templates;
    templates.reserve(list.size());
    Bits any(static_cast<std::size_t>((columns + 63) / 64), 0); // bit L: some window at L holds a fit
    for (const auto& t : list) {
        Template tt{&t, {}};
        if (t.width() > 0 && t.height() > 0) tt.fits = PerfectFits(plane, t, columns);
        else tt.fits.assign(any.size(), 0);
        // A fit at x lies in the windows of positions x - tw + 1 .. x.
        for (int k = 0; k < t.width(); ++k)
            for (std::size_t wi = 0; wi < any.size(); ++wi) {
                std::uint64_t v = tt.fits[wi] >> k;
                if (k != 0 && wi + 1 < any.size()) v |= tt.fits[wi + 1] << (64 - k);
                any[wi] |= v;
            }
        templates.push_back(std::move(tt));
    }

    const float windowWidth = 2 * list.back().X; // what ChrSearch leaves in ScanRect.Width
    const float areaWidth = static_cast<float>(image.width);
    // Below 2^24 every sum is exact in single precision, so runs of empty
    // positions can be jumped over; beyond, go one column at a time.
    const bool canJump = image.width < (1 << 23);
    const long long stopFrom = static_cast<long long>(std::ceil(areaWidth - windowWidth));

    long long L = 0;
    for (;;) {
        int found = modTemp::kNoMatch;
        if (TestBit(any, L)) {
            for (std::size_t i = 0; i < templates.size(); ++i) {
                const auto& t = *templates[i].t;
                if (Extract(templates[i].fits, L, t.width()) != 0 &&
                    FitsAt(plane, t, L, matchLimit, stopAt)) {
                    found = static_cast<int>(i);
                    break;
                }
            }
        }
        if (found != modTemp::kNoMatch) {
            answer += templates[static_cast<std::size_t>(found)].t->Chr;
            L += templates[static_cast<std::size_t>(found)].t->width();
        } else if (canJump) {
            // Positions up to the next one with a fit give nothing either.
            long long next = L + 1;
            while (next < stopFrom && !TestBit(any, next)) {
                const std::size_t wi = static_cast<std::size_t>(next / 64);
                const std::uint64_t rest = wi < any.size() ? any[wi] >> (next % 64) : 0;
                if (rest != 0) next += std::countr_zero(rest);
                else next = static_cast<long long>(wi + 1) * 64;
                if (wi >= any.size()) break;
            }
            L = std::max(L + 1, std::min(next, std::max(stopFrom, L + 1)));
        } else {
            L += 1;
        }
        if (static_cast<float>(static_cast<float>(L) + windowWidth) >= areaWidth) break;
    }
    return answer;
}

} // namespace engine
