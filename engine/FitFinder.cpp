#include "FitFinder.h"

#include "CpuFeatures.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define TIRELMA_AVX2_DISPATCH 1
#endif

namespace engine {

namespace {

constexpr float kNever = 1e15f; // the score of a key that covers none of a template's columns

// A template row with `background` in every column outside it: bit c + 8
// is column c, so columns -8 .. 55 can be read.
std::uint64_t Padded(std::uint32_t row, int width, bool background) {
    const std::uint64_t inside = ((std::uint64_t{1} << width) - 1) << 8;
    return (std::uint64_t{row} << 8) | (background ? ~inside : 0);
}

// The 8 columns o .. o + 7 of a padded row.
unsigned Slice(std::uint64_t padded, int o) {
    return static_cast<unsigned>((padded >> (o + 8)) & 0xFF);
}

// Set bits of a row (no POPCNT needed: this runs once per group).
int Ones(std::uint32_t v) {
    int n = 0;
    for (; v; v &= v - 1)
        ++n;
    return n;
}

// Bit `bit` in table[n] for every half n that agrees with `value` on the
// `covered` bits.
void Allow(std::array<std::uint8_t, 16>& table, unsigned covered, unsigned value,
           std::uint8_t bit) {
    const unsigned open = ~covered & 15;
    for (unsigned sub = open;; sub = (sub - 1) & open) {
        table[(value & covered) | sub] |= bit;
        if (sub == 0) break;
    }
}

// The walk of fewerNearFits. The same body twice: for processors with
// POPCNT, and plain.
struct Walk {
    const std::uint8_t* bytes;
    std::size_t stride;
    std::uint64_t mask;
    const FitFinder::RowCheck *begin, *end;
    int width;
};

template <int>
[[gnu::always_inline]] inline bool FewerNearFitsBody(const Walk& w, long long left, int u0, int v0,
                                                     double limit, int stopAt, int cap) {
    const long long before = static_cast<long long>(v0) * w.width + u0;
    if (before < cap) return true;
    // Each placement before is a near-fit or not a candidate at all; the
    // cap cannot be reached once more than `before - cap` are not.
    const long long clearNeeded = before - (cap - 1);
    int near = 0;
    long long clear = 0;
    for (int v = 0; v <= v0; ++v) {
        const std::uint8_t* row = w.bytes + static_cast<std::size_t>(v) * w.stride;
        for (int u = 0; u < (v < v0 ? w.width : u0); ++u) {
            const auto x = static_cast<std::uint64_t>(left + u); // never negative
            const std::uint8_t* base = row + x / 8;
            const int shift = static_cast<int>(x % 8);
            int s = 0;
            for (const FitFinder::RowCheck* r = w.begin; r < w.end; ++r) {
                std::uint64_t bits;
                std::memcpy(&bits, base + r->offset, sizeof bits);
                s += std::popcount(((bits >> shift) & w.mask) ^ r->bits);
                if (s >= stopAt) break;
            }
            if (s < stopAt && static_cast<double>(s) < limit) {
                if (++near == cap) return false;
            } else if (++clear == clearNeeded) {
                return true;
            }
        }
    }
    return true;
}

bool FewerNearFitsPlain(const Walk& w, long long left, int u0, int v0, double limit, int stopAt,
                        int cap) {
    return FewerNearFitsBody<0>(w, left, u0, v0, limit, stopAt, cap);
}

#if defined(TIRELMA_AVX2_DISPATCH)
__attribute__((target("popcnt"))) bool FewerNearFitsPopcnt(const Walk& w, long long left, int u0,
                                                           int v0, double limit, int stopAt,
                                                           int cap) {
    return FewerNearFitsBody<1>(w, left, u0, v0, limit, stopAt, cap);
}
#else
bool FewerNearFitsPopcnt(const Walk& w, long long left, int u0, int v0, double limit, int stopAt,
                         int cap) {
    return FewerNearFitsPlain(w, left, u0, v0, limit, stopAt, cap);
}
#endif

// The rows of a group's templates, ready for choosing keys.
struct Prepared {
    std::vector<int> usable;                 // templates with at least one placement
    std::vector<std::size_t> begin;          // per template: its first row below
    std::vector<std::uint64_t> padded;       // the rows with their background around them
    std::vector<int> mixed;                  // per row: the pixels of its rarer colour
    std::vector<std::array<int, 4>> profile; // height, width, first and last mixed row

    const std::uint64_t* rows(int t) const {
        return padded.data() + begin[static_cast<std::size_t>(t)];
    }
    const int* mixedRows(int t) const { return mixed.data() + begin[static_cast<std::size_t>(t)]; }
};

Prepared Prepare(const modTemp::ChrTempList& list) {
    Prepared p;
    p.begin.assign(list.size() + 1, 0);
    p.profile.resize(list.size());
    for (std::size_t t = 0; t < list.size(); ++t) {
        const auto& tmpl = list[t];
        const int tw = tmpl.width(), th = tmpl.height();
        p.begin[t] = p.padded.size();
        if (tw > 0 && th > 0) { // others have no placements and are never found
            p.usable.push_back(static_cast<int>(t));
            int ink = 0, first = th, last = -1;
            for (int j = 0; j < th; ++j) {
                const int k = Ones(tmpl.Rows[static_cast<std::size_t>(j)]);
                ink += k;
                p.mixed.push_back(std::min(k, tw - k));
                if (p.mixed.back() > 0) first = std::min(first, j), last = j;
            }
            const bool background = 2 * ink > tw * th;
            for (int j = 0; j < th; ++j)
                p.padded.push_back(Padded(tmpl.Rows[static_cast<std::size_t>(j)], tw, background));
            p.profile[t] = {th, tw, first, last};
        }
    }
    p.begin[list.size()] = p.padded.size();
    return p;
}

// How often each byte value is met in a line made of these glyphs: the
// slices of every template row at every column, the columns outside the
// cell taken as its background, and the plain background of either colour
// as often as half of all that.
std::array<float, 256> SliceCounts(const modTemp::ChrTempList& list, const Prepared& p) {
    std::array<std::uint32_t, 256> slices{};
    std::uint32_t total = 0, plain = 0;
    for (const int t : p.usable) {
        const int tw = list[static_cast<std::size_t>(t)].width();
        for (std::size_t r = p.begin[static_cast<std::size_t>(t)];
             r < p.begin[static_cast<std::size_t>(t) + 1]; ++r) {
            if (p.padded[r] == 0 || p.padded[r] == ~std::uint64_t{0}) { // a plain row
                plain += static_cast<std::uint32_t>(tw + 7);
                continue;
            }
            for (int o = -7; o < tw; ++o) {
                const unsigned s = Slice(p.padded[r], o);
                // Plain slices are the most common; counting them apart
                // keeps the counts from waiting on each other.
                if (s == 0 || s == 255)
                    ++plain;
                else
                    ++slices[s];
            }
        }
        total += static_cast<std::uint32_t>((tw + 7) * list[static_cast<std::size_t>(t)].height());
    }
    std::array<float, 256> counts{};
    for (std::size_t i = 0; i < 256; ++i)
        counts[i] = static_cast<float>(slices[i]) + 1.0f;
    counts[0] += static_cast<float>(plain) + static_cast<float>(total) / 2;
    counts[255] += static_cast<float>(plain) + static_cast<float>(total) / 2;
    return counts;
}

// The rows (at most 8, below `height`) where the members have the most
// pixels of both colours: the rows keys are looked for on.
std::size_t KeyRows(const Prepared& p, const FitFinder::Bucket& b, int height,
                    std::array<int, 8>& rows) {
    std::array<int, 8> weights{};
    std::size_t count = 0;
    for (int j = 0; j < height; ++j) {
        int weight = 0;
        for (int m = 0; m < b.count; ++m)
            weight += p.mixedRows(b.members[static_cast<std::size_t>(m)])[j];
        std::size_t k = count < rows.size() ? count++ : rows.size();
        if (k == rows.size()) {
            if (weight <= weights.back()) continue;
            k = rows.size() - 1;
        }
        for (; k > 0 && weights[k - 1] < weight; --k)
            rows[k] = rows[k - 1], weights[k] = weights[k - 1];
        rows[k] = j, weights[k] = weight;
    }
    return count;
}

// The tables of a key on template row j, columns o .. o + 7, for every
// member of the bucket.
void FillKey(FitFinder::Key& key, int j, int o, int phase, const FitFinder::Bucket& b,
             const modTemp::ChrTempList& list) {
    key.row = j;
    key.byte = (phase + o) / 8;
    for (int m = 0; m < b.count; ++m) {
        const auto& tmpl = list[static_cast<std::size_t>(b.members[static_cast<std::size_t>(m)])];
        const unsigned covered = Slice(Padded(0, tmpl.width(), true), o) ^ 0xFFu;
        const unsigned value =
            Slice(Padded(tmpl.Rows[static_cast<std::size_t>(j)], tmpl.width(), false), o);
        const auto bit = static_cast<std::uint8_t>(1u << m);
        Allow(key.lo, covered & 15, value & 15, bit);
        Allow(key.hi, covered >> 4, value >> 4, bit);
    }
}

} // namespace

FitFinder::FitFinder(const modTemp::ChrTempList& list) {
    info_.resize(list.size());
    Prepared p = Prepare(list);
    for (const int t : p.usable)
        addChecks(static_cast<std::size_t>(t), list[static_cast<std::size_t>(t)], p.mixedRows(t));
    const auto counts = SliceCounts(list, p);

    // Buckets of templates of like size whose rows of both colours lie alike,
    // so that their keys can share rows and bytes.
    std::stable_sort(p.usable.begin(), p.usable.end(), [&](int a, int b) {
        return p.profile[static_cast<std::size_t>(a)] < p.profile[static_cast<std::size_t>(b)];
    });
    struct Slot {
        int j, o;
    };
    std::vector<Slot> slots;
    std::vector<float> single, sums; // single[m * slots + s]: member m's score of slot s
    for (std::size_t start = 0; start < p.usable.size(); start += 8) {
        Bucket b;
        b.count = static_cast<int>(std::min<std::size_t>(8, p.usable.size() - start));
        const auto members = static_cast<std::size_t>(b.count);
        int minHeight = modTemp::kMaxTemplateHeight, maxWidth = 0;
        std::array<int, 8> width{};
        for (std::size_t m = 0; m < members; ++m) {
            b.members[m] = p.usable[start + m];
            const auto& tmpl = list[static_cast<std::size_t>(b.members[m])];
            width[m] = tmpl.width();
            minHeight = std::min(minHeight, tmpl.height());
            maxWidth = std::max(maxWidth, width[m]);
        }
        std::array<int, 8> keyRows{};
        const std::size_t rowCount = KeyRows(p, b, minHeight, keyRows);
        for (int phase = 0; phase < 8; ++phase) {
            // Keys at columns o = -phase, 8 - phase, ... of the templates,
            // scored by how often their bits are met, more for every column
            // a key leaves open.
            slots.clear();
            for (int o = phase == 0 ? 0 : -phase; o < maxWidth; o += 8)
                for (std::size_t r = 0; r < rowCount; ++r)
                    slots.push_back({keyRows[r], o});
            const std::size_t n = slots.size();
            single.resize(n * members);
            sums.resize(n);
            for (std::size_t m = 0; m < members; ++m) {
                float* out = single.data() + m * n;
                const std::uint64_t* rows = p.rows(b.members[m]);
                for (std::size_t s = 0; s < n; s += rowCount) {
                    const int o = slots[s].o;
                    const int covered = std::min(width[m], o + 8) - std::max(0, o);
                    if (covered <= 0) {
                        std::fill(out + s, out + s + rowCount, kNever);
                        continue;
                    }
                    const auto open = static_cast<float>(1 << (8 - covered));
                    for (std::size_t r = 0; r < rowCount; ++r)
                        out[s + r] = counts[Slice(rows[keyRows[r]], o)] * open;
                }
            }
            // The first key as rare as can be; the second one rarest where the first agrees.
            auto best = [&](auto&& weight, std::size_t skip) {
                std::fill(sums.begin(), sums.end(), 0.0f);
                for (std::size_t m = 0; m < members; ++m) {
                    const float w = weight(m);
                    const float* in = single.data() + m * n;
                    for (std::size_t s = 0; s < n; ++s)
                        sums[s] += w * in[s];
                }
                std::size_t pick = skip == 0 ? 1 : 0;
                for (std::size_t s = 0; s < n; ++s)
                    if (s != skip && sums[s] < sums[pick]) pick = s;
                return pick;
            };
            const std::size_t first = best([](std::size_t) { return 1.0f; }, n);
            const std::size_t second =
                n == 1 ? first : best([&](std::size_t m) { return single[m * n + first]; }, first);
            auto& keys = b.phases[static_cast<std::size_t>(phase)];
            FillKey(keys[0], slots[first].j, slots[first].o, phase, b, list);
            FillKey(keys[1], slots[second].j, slots[second].o, phase, b, list);
        }
        buckets_.push_back(b);
    }
}

// The rows of template t for checking a candidate, those with both colours
// first: they tell most.
void FitFinder::addChecks(std::size_t t, const modTemp::ChrTemp& tmpl, const int* mixed) {
    const int tw = tmpl.width(), th = tmpl.height();
    std::vector<int> rows(static_cast<std::size_t>(th));
    for (int j = 0; j < th; ++j)
        rows[static_cast<std::size_t>(j)] = j;
    for (std::size_t i = 1; i < rows.size(); ++i) // a few rows: insertion, stable
        for (std::size_t k = i; k > 0 && mixed[rows[k]] > mixed[rows[k - 1]]; --k)
            std::swap(rows[k], rows[k - 1]);
    Checks& c = info_[t];
    c.mask = (std::uint64_t{1} << tw) - 1;
    c.width = tw;
    c.height = th;
    c.begin = static_cast<std::uint32_t>(checks_.size());
    for (const int j : rows) {
        checkRows_.push_back(j);
        checks_.push_back({0, tmpl.Rows[static_cast<std::size_t>(j)]});
    }
    c.end = static_cast<std::uint32_t>(checks_.size());
}

inline bool FitFinder::verify(const BitPlane& plane, const Checks& c, long long x, int v) const {
    // The row's bits from column x on, through one unaligned 8-byte read at
    // the byte holding column x (57 bits or more, enough for 30 columns).
    const auto column = static_cast<std::uint64_t>(x); // never negative
    const int shift = static_cast<int>(column % 8);
    const std::uint8_t* base =
        plane.bytes() + static_cast<std::size_t>(v) * plane.bytesPerRow() + column / 8;
    auto differs = [&](const RowCheck& r) {
        std::uint64_t w;
        std::memcpy(&w, base + r.offset, sizeof w);
        return ((w >> shift) & c.mask) ^ r.bits;
    };
    // Most candidates fail on the first rows; a real fit is confirmed
    // without a branch per row.
    const RowCheck* r = checks_.data() + c.begin;
    const RowCheck* end = checks_.data() + c.end;
    for (int i = 0; i < 2 && r < end; ++i, ++r)
        if (differs(*r)) return false;
    std::uint64_t diff = 0;
    for (; r < end; ++r)
        diff |= differs(*r);
    return diff == 0;
}

bool FitFinder::fewerNearFits(const BitPlane& plane, int index, long long left, int u0, int v0,
                              double limit, int stopAt, int cap) const {
    const Checks& c = info_[static_cast<std::size_t>(index)];
    const Walk w{plane.bytes(),
                 plane.bytesPerRow(),
                 c.mask,
                 checks_.data() + c.begin,
                 checks_.data() + c.end,
                 c.width};
    return cpu::HasPopcnt() ? FewerNearFitsPopcnt(w, left, u0, v0, limit, stopAt, cap)
                            : FewerNearFitsPlain(w, left, u0, v0, limit, stopAt, cap);
}

void FitFinder::find(const BitPlane& plane, long long columns, std::vector<Fit>& out) {
    out.clear();
    if (stride_ != plane.bytesPerRow()) {
        stride_ = plane.bytesPerRow();
        for (std::size_t k = 0; k < checks_.size(); ++k)
            checks_[k].offset = static_cast<std::size_t>(checkRows_[k]) * stride_;
    }
    for (Checks& c : info_)
        c.lastOffset = plane.height() - c.height - 1;
    const bool wide = cpu::HasAvx2();
    std::vector<int>& lastV = lastV_;
    lastV.assign(buckets_.size(), -1);
    int lastRow = -1;
    for (std::size_t k = 0; k < buckets_.size(); ++k) {
        for (int m = 0; m < buckets_[k].count; ++m)
            lastV[k] = std::max(lastV[k],
                                info_[static_cast<std::size_t>(buckets_[k].members[m])].lastOffset);
        lastRow = std::max(lastRow, lastV[k]);
    }
    // Row by row, so that each template and column is kept once, at its
    // top-most fit, and memory stays bounded by the columns however tall the
    // area is.
    const auto wordsPerTemplate = static_cast<std::size_t>((columns + 63) / 64);
    seen_.assign(info_.size() * wordsPerTemplate, 0);
    for (int v = 0; v <= lastRow; ++v) {
        for (std::size_t k = 0; k < buckets_.size(); ++k) {
            if (v > lastV[k]) continue;
            const Bucket& b = buckets_[k];
            candidates_.clear();
            if (wide)
                ScanBucketAvx2(b, plane, v, columns, candidates_);
            else
                ScanBucket(b, plane, v, columns, candidates_);
            for (const Candidate& c : candidates_) {
                const long long x = 8 * c.q + c.phase; // never negative
                for (unsigned bits = c.members; bits; bits &= bits - 1) {
                    const int t = b.members[static_cast<std::size_t>(std::countr_zero(bits))];
                    const Checks& info = info_[static_cast<std::size_t>(t)];
                    std::uint64_t& word = seen_[static_cast<std::size_t>(t) * wordsPerTemplate +
                                                static_cast<std::size_t>(x) / 64];
                    const std::uint64_t bit = std::uint64_t{1}
                                              << (static_cast<std::size_t>(x) % 64);
                    if ((word & bit) == 0 && v <= info.lastOffset && verify(plane, info, x, v)) {
                        word |= bit;
                        out.push_back({x, v, t});
                    }
                }
            }
        }
    }
    std::sort(out.begin(), out.end(), [](const Fit& a, const Fit& b) {
        return a.x != b.x ? a.x < b.x : a.index < b.index;
    });
}

void ScanBucket(const FitFinder::Bucket& b, const BitPlane& plane, int v, long long columns,
                std::vector<FitFinder::Candidate>& out) {
    const std::uint8_t* bytes = plane.bytes();
    const std::size_t stride = plane.bytesPerRow();
    for (int phase = 0; phase < 8; ++phase) {
        const long long nq = (columns - phase + 7) / 8; // places x = 8 q + phase below columns
        const auto& k1 = b.phases[static_cast<std::size_t>(phase)][0];
        const auto& k2 = b.phases[static_cast<std::size_t>(phase)][1];
        const std::uint8_t* r1 = bytes + static_cast<std::size_t>(v + k1.row) * stride + k1.byte;
        const std::uint8_t* r2 = bytes + static_cast<std::size_t>(v + k2.row) * stride + k2.byte;
        for (long long q = 0; q < nq; ++q) {
            auto m = static_cast<std::uint8_t>(k1.lo[r1[q] & 15] & k1.hi[r1[q] >> 4]);
            if (m == 0) continue;
            m &= static_cast<std::uint8_t>(k2.lo[r2[q] & 15] & k2.hi[r2[q] >> 4]);
            if (m != 0) out.push_back({q, static_cast<std::uint8_t>(phase), m});
        }
    }
}

#if defined(TIRELMA_AVX2_DISPATCH)
__attribute__((target("avx2"))) void ScanBucketAvx2(const FitFinder::Bucket& b,
                                                    const BitPlane& plane, int v, long long columns,
                                                    std::vector<FitFinder::Candidate>& out) {
    const std::uint8_t* bytes = plane.bytes();
    const std::size_t stride = plane.bytesPerRow();
    const __m256i low = _mm256_set1_epi8(0x0F);
    for (int phase = 0; phase < 8; ++phase) {
        const long long nq = (columns - phase + 7) / 8;
        const auto& k1 = b.phases[static_cast<std::size_t>(phase)][0];
        const auto& k2 = b.phases[static_cast<std::size_t>(phase)][1];
        const std::uint8_t* r1 = bytes + static_cast<std::size_t>(v + k1.row) * stride + k1.byte;
        const std::uint8_t* r2 = bytes + static_cast<std::size_t>(v + k2.row) * stride + k2.byte;
        // The same 16-byte table in both lanes (the shuffles work per lane).
        const __m256i lo1 = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(k1.lo.data())));
        const __m256i hi1 = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(k1.hi.data())));
        const __m256i lo2 = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(k2.lo.data())));
        const __m256i hi2 = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(k2.hi.data())));
        for (long long q0 = 0; q0 < nq; q0 += 32) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r1 + q0));
            const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r2 + q0));
            const __m256i m1 = _mm256_and_si256(
                _mm256_shuffle_epi8(lo1, _mm256_and_si256(a, low)),
                _mm256_shuffle_epi8(hi1, _mm256_and_si256(_mm256_srli_epi16(a, 4), low)));
            const __m256i m2 = _mm256_and_si256(
                _mm256_shuffle_epi8(lo2, _mm256_and_si256(c, low)),
                _mm256_shuffle_epi8(hi2, _mm256_and_si256(_mm256_srli_epi16(c, 4), low)));
            const __m256i m = _mm256_and_si256(m1, m2);
            auto hits = ~static_cast<std::uint32_t>(
                _mm256_movemask_epi8(_mm256_cmpeq_epi8(m, _mm256_setzero_si256())));
            if (nq - q0 < 32) hits &= (std::uint32_t{1} << (nq - q0)) - 1;
            if (hits == 0) continue;
            std::uint8_t lanes[32];
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes), m);
            for (; hits; hits &= hits - 1) {
                const int i = std::countr_zero(hits);
                out.push_back({q0 + i, static_cast<std::uint8_t>(phase), lanes[i]});
            }
        }
    }
}
#else
void ScanBucketAvx2(const FitFinder::Bucket& b, const BitPlane& plane, int v, long long columns,
                    std::vector<FitFinder::Candidate>& out) {
    ScanBucket(b, plane, v, columns, out);
}
#endif

} // namespace engine
