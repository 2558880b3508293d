#include "Verdict.h"

#include "CpuFeatures.h"

#include <algorithm>
#include <array>
#include <bit>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TIRELMA_POPCNT_DISPATCH 1
#endif

namespace engine {

namespace {

// Bits first .. last (inclusive, at most 64 of them) of a row of words set.
inline void SetBits(std::uint64_t* words, long long first, long long last) {
    const auto k = static_cast<std::size_t>(first / 64);
    const int shift = static_cast<int>(first % 64);
    const long long n = last - first + 1;
    const std::uint64_t run = n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
    words[k] |= run << shift;
    if (shift != 0 && shift + n > 64) words[k + 1] |= run >> (64 - shift);
}

int DarkIn(const std::uint64_t* row, int x) {
    return static_cast<int>((row[x / 64] >> (x % 64)) & 1u);
}

// The area as the verdict looks at it: ink is what differs from the
// background, in words of 64 columns.
struct Area {
    const BitPlane& plane;
    int w, h;
    std::size_t words;
    std::uint64_t lastWord; // the columns of the last word inside the area
    std::uint64_t flip;     // all ones on a dark background

    explicit Area(const BitPlane& p)
        : plane(p), w(p.width()), h(p.height()),
          words(static_cast<std::size_t>(std::max(w, 0) + 63) / 64),
          lastWord(w % 64 == 0 ? ~std::uint64_t{0} : (std::uint64_t{1} << (w % 64)) - 1),
          flip(DarkBackground(p) ? ~std::uint64_t{0} : 0) {}

    std::uint64_t ink(int y, std::size_t k) const {
        return (plane.row(y)[k] ^ flip) & (k + 1 == words ? lastWord : ~std::uint64_t{0});
    }
};

// A character's box: its columns (cut at the area's right edge) and rows.
struct Box {
    long long first, last;
    int top, bottom; // rows [top, bottom)
};

Box BoxOf(const ReadChar& c, int width, int height, int areaWidth) {
    return {c.column, std::min<long long>(c.column + width, areaWidth) - 1, c.row, c.row + height};
}

// The unread places, looking at every box, in the listed words only (the
// others hold nothing unread). columns: the columns of every box, which
// cover the bottom row.
std::vector<UnreadPlace> Places(const Area& a, const std::vector<Box>& boxes,
                                const std::vector<std::uint64_t>& columns,
                                const std::vector<std::size_t>& dirty) {
    const auto h = static_cast<std::size_t>(a.h);
    std::vector<std::uint64_t> bits(dirty.size() * h); // per listed word and row
    std::vector<std::uint64_t> unread(a.words);
    std::vector<int> slot(a.words, -1);
    struct Part {
        int top, bottom;
        std::uint64_t mask;
    };
    std::vector<Part> parts;
    for (std::size_t d = 0; d < dirty.size(); ++d) {
        const std::size_t k = dirty[d];
        slot[k] = static_cast<int>(d);
        const long long lo = static_cast<long long>(k) * 64, hi = lo + 63;
        parts.clear();
        for (const Box& b : boxes) {
            if (b.last < lo || b.first > hi || b.first > b.last) continue;
            std::uint64_t mask = 0;
            SetBits(&mask, std::max(b.first, lo) - lo, std::min(b.last, hi) - lo);
            parts.push_back({b.top, b.bottom, mask});
        }
        for (int y = 0; y < a.h; ++y) {
            std::uint64_t cover = 0;
            if (y == a.h - 1)
                cover = columns[k];
            else
                for (const Part& p : parts)
                    if (y >= p.top && y < p.bottom) cover |= p.mask;
            const std::uint64_t u = a.ink(y, k) & ~cover;
            bits[d * h + static_cast<std::size_t>(y)] = u;
            unread[k] |= u;
        }
    }

    // Runs of columns holding unread ink, with the rows it spans.
    std::vector<UnreadPlace> places;
    const auto isUnread = [&](long long x) { return ((unread[x / 64] >> (x % 64)) & 1u) != 0; };
    for (long long x = 0; x < a.w;) {
        if (unread[static_cast<std::size_t>(x / 64)] == 0) {
            x = (x / 64 + 1) * 64;
            continue;
        }
        if (!isUnread(x)) {
            ++x;
            continue;
        }
        long long last = x;
        while (last + 1 < a.w && isUnread(last + 1))
            ++last;
        UnreadPlace p{static_cast<int>(x), static_cast<int>(last), a.h, -1};
        for (long long k = x / 64; k <= last / 64; ++k) {
            std::uint64_t mask = 0;
            SetBits(&mask, std::max(x, k * 64) - k * 64, std::min(last, k * 64 + 63) - k * 64);
            const std::size_t d = static_cast<std::size_t>(slot[static_cast<std::size_t>(k)]);
            for (int y = 0; y < a.h; ++y)
                if (bits[d * h + static_cast<std::size_t>(y)] & mask)
                    p.top = std::min(p.top, y), p.bottom = std::max(p.bottom, y);
        }
        places.push_back(p);
        x = last + 1;
    }
    return places;
}

// Ink pixels per word over rows [0, rows). The same body twice: for
// processors with POPCNT, and plain.
template <int>
[[gnu::always_inline]] inline void CountInkBody(const Area& a, int rows, long long* counts) {
    // Word by word down the rows: the count stays in a register.
    const std::size_t stride = a.plane.wordsPerRow();
    const std::uint64_t* top = a.plane.row(0);
    for (std::size_t k = 0; k < a.words; ++k) {
        const std::uint64_t mask = k + 1 == a.words ? a.lastWord : ~std::uint64_t{0};
        long long n = 0;
        const std::uint64_t* word = top + k;
        for (int y = 0; y < rows; ++y, word += stride)
            n += std::popcount((*word ^ a.flip) & mask);
        counts[k] = n;
    }
}

template <int>
[[gnu::always_inline]] inline long long DarkInRowBody(const std::uint64_t* row, std::size_t words) {
    long long n = 0;
    for (std::size_t k = 0; k < words; ++k)
        n += std::popcount(row[k]);
    return n;
}

long long DarkInRowPlain(const std::uint64_t* row, std::size_t words) {
    return DarkInRowBody<0>(row, words);
}

#if defined(TIRELMA_POPCNT_DISPATCH)
__attribute__((target("popcnt"))) long long DarkInRowPopcnt(const std::uint64_t* row,
                                                            std::size_t words) {
    return DarkInRowBody<1>(row, words);
}
#else
long long DarkInRowPopcnt(const std::uint64_t* row, std::size_t words) {
    return DarkInRowPlain(row, words);
}
#endif

void CountInkPlain(const Area& a, int rows, long long* counts) {
    CountInkBody<0>(a, rows, counts);
}

#if defined(TIRELMA_POPCNT_DISPATCH)
__attribute__((target("popcnt"))) void CountInkPopcnt(const Area& a, int rows, long long* counts) {
    CountInkBody<1>(a, rows, counts);
}
#else
void CountInkPopcnt(const Area& a, int rows, long long* counts) {
    CountInkPlain(a, rows, counts);
}
#endif

// The boxes of the characters read, and the columns they cover.
std::vector<Box> Boxes(const Area& a, const TemplateInk& ink, const std::vector<ReadChar>& chars,
                       std::vector<std::uint64_t>* columns = nullptr) {
    std::vector<Box> boxes;
    for (const ReadChar& c : chars) {
        const auto t = static_cast<std::size_t>(c.index);
        const Box b = BoxOf(c, ink.width[t], ink.height[t], a.w);
        if (b.first < 0 || b.first > b.last) continue;
        boxes.push_back(b);
        if (columns) SetBits(columns->data(), b.first, b.last);
    }
    return boxes;
}

// Whether the box of chars[i] overlaps the box of an earlier character, or
// an earlier one stands right of it.
bool OverlapsEarlier(const Area& a, const TemplateInk& ink, const std::vector<ReadChar>& chars,
                     std::size_t i) {
    const auto t = static_cast<std::size_t>(chars[i].index);
    const Box b = BoxOf(chars[i], ink.width[t], ink.height[t], a.w);
    for (std::size_t p = i; p-- > 0;) {
        const auto u = static_cast<std::size_t>(chars[p].index);
        const Box e = BoxOf(chars[p], ink.width[u], ink.height[u], a.w);
        if (e.first > b.first) return true;
        if (e.last >= b.first && e.top < b.bottom && b.top < e.bottom) return true;
        if (b.first - e.first > 64) break; // no template is that wide
    }
    return false;
}

std::vector<UnreadPlace> UnreadInkOfAll(const Area& a, const TemplateInk& ink,
                                        const std::vector<ReadChar>& chars) {
    std::vector<std::uint64_t> columns(a.words);
    const std::vector<Box> boxes = Boxes(a, ink, chars, &columns);
    std::vector<std::size_t> all(a.words);
    for (std::size_t k = 0; k < a.words; ++k)
        all[k] = k;
    return Places(a, boxes, columns, all);
}

} // namespace

bool DarkBackground(const BitPlane& plane) {
    const int w = plane.width(), h = plane.height();
    if (w <= 0 || h <= 0) return false;
    long long dark = 0, all = 0;
    const auto wholeRow = [&](int y) {
        // Bits past the width are never set.
        const auto words = static_cast<std::size_t>(w + 63) / 64;
        dark += cpu::HasPopcnt() ? DarkInRowPopcnt(plane.row(y), words)
                                 : DarkInRowPlain(plane.row(y), words);
        all += w;
    };
    wholeRow(0);
    if (h > 1) wholeRow(h - 1);
    for (int y = 1; y < h - 1; ++y) {
        dark += DarkIn(plane.row(y), 0);
        all += 1;
        if (w > 1) {
            dark += DarkIn(plane.row(y), w - 1);
            all += 1;
        }
    }
    return 2 * dark > all;
}

std::vector<UnreadPlace> UnreadInk(const BitPlane& plane, const modTemp::ChrTempList& list,
                                   const std::vector<ReadChar>& chars) {
    const Area a(plane);
    if (a.w <= 0 || a.h <= 0) return {};
    return UnreadInkOfAll(a, InkOf(list), chars);
}

std::vector<UnreadPlace> UnreadInk(const AreaImage& image, const modTemp::ChrTempList& list,
                                   const std::vector<ReadChar>& chars) {
    const BitPlane plane(image, 0);
    return UnreadInk(plane, list, chars);
}

TemplateInk InkOf(const modTemp::ChrTempList& list) {
    TemplateInk ink;
    ink.width.reserve(list.size());
    ink.height.reserve(list.size());
    ink.firstColumn.reserve(list.size());
    ink.onLight.reserve(list.size());
    ink.onDark.reserve(list.size());
    std::size_t columns = 0;
    for (const auto& t : list)
        columns += static_cast<std::size_t>(std::max(t.width(), 0)) + 1;
    ink.darkBefore.reserve(columns);
    for (const auto& t : list) {
        ink.width.push_back(t.width());
        ink.height.push_back(t.height());
        const auto first = ink.darkBefore.size();
        ink.firstColumn.push_back(static_cast<int>(first));
        ink.darkBefore.resize(first + static_cast<std::size_t>(t.width()) + 1);
        int* before = ink.darkBefore.data() + first;
        // Dark pixels per column into before[j + 1], then summed up.
        for (const std::uint32_t row : t.Rows)
            for (std::uint32_t bits = row; bits != 0; bits &= bits - 1)
                ++before[std::countr_zero(bits) + 1];
        for (int j = 0; j < t.width(); ++j)
            before[j + 1] += before[j];
        const long long dark = before[t.width()];
        const long long all = static_cast<long long>(t.width()) * t.height();
        ink.onLight.push_back({t.width(), t.height(), static_cast<int>(first), dark});
        ink.onDark.push_back({t.width(), t.height(), static_cast<int>(first), all - dark});
    }
    return ink;
}

std::vector<UnreadPlace> UnreadInkOfFits(const BitPlane& plane, const TemplateInk& ink,
                                         const std::vector<ReadChar>& chars) {
    const Area a(plane);
    if (a.w <= 0 || a.h <= 0) return {};
    // Per template: its size and its ink, the dark pixels on a light
    // background and the light ones on a dark background.
    const std::vector<TemplateInk::Shape>& shapes = a.flip ? ink.onDark : ink.onLight;
    const auto inkIn = [&](const TemplateInk::Shape& s, int from, int to) { // columns [from, to)
        const long long dark = ink.darkBefore[static_cast<std::size_t>(s.first) + to] -
                               ink.darkBefore[static_cast<std::size_t>(s.first) + from];
        return a.flip ? static_cast<long long>(to - from) * s.height - dark : dark;
    };

    // The ink of each word's boxes. A fit's box holds its template's ink, as
    // long as no boxes overlap and none reaches the bottom row (no fit does);
    // otherwise every word is looked at pixel by pixel. (Areas of up to 4096
    // columns count on the stack.)
    std::array<long long, 128> near{};
    std::vector<long long> far(a.words > 64 ? 2 * a.words : 0);
    long long* boxInk = a.words > 64 ? far.data() : near.data();
    long long* areaInk = boxInk + a.words;
    bool countable = true;
    int rightmost = -1; // the last column of any box so far
    const auto lastRow = static_cast<unsigned>(a.h - 1);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const ReadChar& c = chars[i];
        if (c.column < 0 || c.column >= a.w) continue; // no pixel of the area
        const TemplateInk::Shape& s = shapes[static_cast<std::size_t>(c.index)];
        const int first = static_cast<int>(c.column), end = first + s.width;
        // A negative row is a large unsigned one.
        countable =
            countable && static_cast<unsigned>(c.row) + static_cast<unsigned>(s.height) <= lastRow;
        if (first <= rightmost) countable = countable && !OverlapsEarlier(a, ink, chars, i);
        rightmost = std::max(rightmost, end - 1);
        const int k0 = first >> 6;
        if (end <= (k0 + 1) << 6 && end <= a.w) {
            boxInk[k0] += s.ink;
        } else { // across two words, or cut at the area's edge
            const int split = std::min(end, (k0 + 1) << 6), stop = std::min(end, a.w);
            boxInk[k0] += inkIn(s, 0, split - first);
            if (stop > split) boxInk[k0 + 1] += inkIn(s, split - first, stop - first);
        }
    }
    if (!countable) return UnreadInkOfAll(a, ink, chars);

    if (cpu::HasPopcnt())
        CountInkPopcnt(a, a.h - 1, areaInk);
    else
        CountInkPlain(a, a.h - 1, areaInk);
    std::vector<std::size_t> dirty;
    for (std::size_t k = 0; k < a.words; ++k)
        if (areaInk[k] != boxInk[k] || a.ink(a.h - 1, k) != 0) dirty.push_back(k);
    if (dirty.empty()) return {};

    // Only the words left need the boxes that reach into them (the boxes
    // stand left to right, none wider than 64 columns), with their columns
    // for the bottom row.
    std::vector<std::uint64_t> columns(a.words);
    std::vector<Box> boxes;
    auto next = chars.begin(); // the first character not taken yet
    for (const std::size_t k : dirty) {
        const long long lo = static_cast<long long>(k) * 64;
        auto c = std::max(
            next, std::lower_bound(chars.begin(), chars.end(), lo - 64,
                                   [](const ReadChar& r, long long x) { return r.column < x; }));
        for (; c != chars.end() && c->column < lo + 64; ++c) {
            const auto t = static_cast<std::size_t>(c->index);
            const Box b = BoxOf(*c, ink.width[t], ink.height[t], a.w);
            if (b.first < 0 || b.first > b.last || b.last < lo) continue;
            SetBits(columns.data(), b.first, b.last);
            boxes.push_back(b);
            next = c + 1;
        }
    }
    std::vector<std::size_t> listed;
    for (const std::size_t k : dirty)
        if (areaInk[k] != boxInk[k] || (a.ink(a.h - 1, k) & ~columns[k]) != 0) listed.push_back(k);
    if (listed.empty()) return {};
    return Places(a, boxes, columns, listed);
}

} // namespace engine
