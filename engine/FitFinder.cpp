#include "FitFinder.h"

#include "CpuFeatures.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define TIRELMA_AVX2_DISPATCH 1
#endif

namespace engine {

namespace {

constexpr double kNever = 1e18; // the score of a key that covers none of a template's columns

// A template row with `background` in every column outside it: bit c + 8
// is column c, so columns -8 .. 55 can be read.
std::uint64_t Padded(std::uint32_t row, int width, bool background) {
    const std::uint64_t inside = ((std::uint64_t{1} << width) - 1) << 8;
    return (std::uint64_t{row} << 8) | (background ? ~inside : 0);
}

// How often each byte value is met in a line made of these glyphs: the
// slices of every template row at every column, the columns outside the
// cell taken as its background, and the plain background of either colour
// as often as half of all that.
std::array<double, 256> SliceCounts(const modTemp::ChrTempList& list,
                                    const std::vector<bool>& background) {
    std::array<std::uint32_t, 256> counts{};
    std::uint32_t total = 0;
    for (std::size_t t = 0; t < list.size(); ++t) {
        const auto& tmpl = list[t];
        for (int j = 0; j < tmpl.height(); ++j) {
            const std::uint64_t p =
                Padded(tmpl.Rows[static_cast<std::size_t>(j)], tmpl.width(), background[t]);
            for (int o = -7; o < tmpl.width(); ++o)
                ++counts[(p >> (o + 8)) & 0xFF];
            total += static_cast<std::uint32_t>(tmpl.width() + 7);
        }
    }
    std::array<double, 256> out{};
    for (int i = 0; i < 256; ++i)
        out[static_cast<std::size_t>(i)] = counts[static_cast<std::size_t>(i)] + 1.0;
    out[0] += total / 2.0;
    out[255] += total / 2.0;
    return out;
}

} // namespace

FitFinder::FitFinder(const modTemp::ChrTempList& list) {
    const std::size_t n = list.size();
    info_.resize(n);
    std::vector<bool> background(n);
    std::vector<int> usable;
    for (std::size_t t = 0; t < n; ++t) {
        const auto& tmpl = list[t];
        const int tw = tmpl.width(), th = tmpl.height();
        if (tw <= 0 || th <= 0) continue; // no placements, never found
        usable.push_back(static_cast<int>(t));
        // Rows with both colours tell most, so they are checked first.
        std::vector<int> rows(static_cast<std::size_t>(th));
        std::iota(rows.begin(), rows.end(), 0);
        int ink = 0;
        auto mixed = [&](int j) {
            const int k = std::popcount(tmpl.Rows[static_cast<std::size_t>(j)]);
            return std::min(k, tw - k);
        };
        for (int j = 0; j < th; ++j)
            ink += std::popcount(tmpl.Rows[static_cast<std::size_t>(j)]);
        std::stable_sort(rows.begin(), rows.end(),
                         [&](int a, int b) { return mixed(a) > mixed(b); });
        Checks& c = info_[t];
        c.mask = (std::uint64_t{1} << tw) - 1;
        c.height = th;
        c.begin = static_cast<std::uint32_t>(checks_.size());
        for (const int j : rows) {
            checkRows_.push_back(j);
            checks_.push_back({0, tmpl.Rows[static_cast<std::size_t>(j)]});
        }
        c.end = static_cast<std::uint32_t>(checks_.size());
        background[t] = 2 * ink > tw * th;
    }

    const auto counts = SliceCounts(list, background);
    // The score of a key: how often its bits are met, more for every column
    // it leaves open.
    auto score = [&](int t, int j, int o) {
        const auto& tmpl = list[static_cast<std::size_t>(t)];
        const auto covered = static_cast<std::uint32_t>(
            ((((std::uint64_t{1} << tmpl.width()) - 1) << 8) >> (o + 8)) & 0xFF);
        if (j >= tmpl.height() || covered == 0) return kNever;
        const std::uint64_t p =
            Padded(tmpl.Rows[static_cast<std::size_t>(j)], tmpl.width(), background[t]);
        return counts[(p >> (o + 8)) & 0xFF] *
               static_cast<double>(1 << (8 - std::popcount(covered)));
    };

    // Buckets of templates of like size, so that their keys can share rows and bytes.
    std::stable_sort(usable.begin(), usable.end(), [&](int a, int b) {
        const auto& ta = list[static_cast<std::size_t>(a)];
        const auto& tb = list[static_cast<std::size_t>(b)];
        return ta.height() != tb.height() ? ta.height() < tb.height() : ta.width() < tb.width();
    });
    for (std::size_t start = 0; start < usable.size(); start += 8) {
        Bucket b;
        b.count = static_cast<int>(std::min<std::size_t>(8, usable.size() - start));
        int minHeight = modTemp::kMaxTemplateHeight, maxWidth = 0;
        for (int m = 0; m < b.count; ++m) {
            const int t = usable[start + static_cast<std::size_t>(m)];
            b.members[static_cast<std::size_t>(m)] = t;
            minHeight = std::min(minHeight, list[static_cast<std::size_t>(t)].height());
            maxWidth = std::max(maxWidth, list[static_cast<std::size_t>(t)].width());
        }
        for (int phase = 0; phase < 8; ++phase) {
            // Keys at columns o = -phase, 8 - phase, ... of the template.
            struct Slot {
                int j, o;
            };
            std::vector<Slot> slots;
            for (int o = phase == 0 ? 0 : -phase; o < maxWidth; o += 8)
                for (int j = 0; j < minHeight; ++j)
                    slots.push_back({j, o});
            std::vector<double> single(slots.size() * static_cast<std::size_t>(b.count));
            for (std::size_t s = 0; s < slots.size(); ++s)
                for (int m = 0; m < b.count; ++m)
                    single[s * b.count + m] = score(b.members[m], slots[s].j, slots[s].o);
            // The first key as rare as can be; the second one rarest where the first agrees.
            auto best = [&](auto&& weight, std::size_t skip) {
                std::size_t pick = 0;
                double pickSum = -1;
                for (std::size_t s = 0; s < slots.size(); ++s) {
                    if (s == skip) continue;
                    double sum = 0;
                    for (int m = 0; m < b.count; ++m)
                        sum += weight(m) * single[s * b.count + m];
                    if (pickSum < 0 || sum < pickSum) pickSum = sum, pick = s;
                }
                return pick;
            };
            const std::size_t first = best([](int) { return 1.0; }, slots.size());
            const std::size_t second =
                slots.size() == 1 ? first
                                  : best([&](int m) { return single[first * b.count + m]; }, first);
            for (int k = 0; k < 2; ++k) {
                const Slot& slot = slots[k == 0 ? first : second];
                Key& key = b.phases[static_cast<std::size_t>(phase)][static_cast<std::size_t>(k)];
                key.row = slot.j;
                key.byte = (phase + slot.o) / 8;
                for (int m = 0; m < b.count; ++m) {
                    const auto& tmpl = list[static_cast<std::size_t>(b.members[m])];
                    const std::uint64_t inside = ((std::uint64_t{1} << tmpl.width()) - 1) << 8;
                    const auto covered = static_cast<unsigned>((inside >> (slot.o + 8)) & 0xFF);
                    const auto value = static_cast<unsigned>(
                        ((std::uint64_t{tmpl.Rows[static_cast<std::size_t>(slot.j)]} << 8) >>
                         (slot.o + 8)) &
                        0xFF);
                    for (unsigned half = 0; half < 16; ++half) {
                        const auto bit = static_cast<std::uint8_t>(1u << m);
                        if ((half & covered & 15) == (value & 15)) key.lo[half] |= bit;
                        if ((half & (covered >> 4)) == (value >> 4)) key.hi[half] |= bit;
                    }
                }
            }
        }
        buckets_.push_back(b);
    }
}

inline bool FitFinder::verify(const BitPlane& plane, const Checks& c, long long x, int v) const {
    // The row's bits from column x on, through one unaligned 8-byte read at
    // the byte holding column x (57 bits or more, enough for 30 columns).
    const int shift = static_cast<int>(x % 8);
    const std::uint8_t* base =
        plane.bytes() + static_cast<std::size_t>(v) * plane.bytesPerRow() + x / 8;
    const RowCheck* r = checks_.data() + c.begin;
    const RowCheck* end = checks_.data() + c.end;
    for (; r < end; ++r) {
        std::uint64_t w;
        std::memcpy(&w, base + r->offset, sizeof w);
        if (((w >> shift) & c.mask) != r->bits) return false;
    }
    return true;
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
    for (const Bucket& b : buckets_) {
        int lastV = -1;
        for (int m = 0; m < b.count; ++m)
            lastV = std::max(lastV, info_[static_cast<std::size_t>(b.members[m])].lastOffset);
        if (lastV < 0) continue;
        candidates_.clear();
        if (wide)
            ScanBucketAvx2(b, plane, lastV, columns, candidates_);
        else
            ScanBucket(b, plane, lastV, columns, candidates_);
        for (const Candidate& c : candidates_) {
            const long long x = 8 * c.q + c.phase;
            for (unsigned bits = c.members; bits; bits &= bits - 1) {
                const int t = b.members[static_cast<std::size_t>(std::countr_zero(bits))];
                const Checks& info = info_[static_cast<std::size_t>(t)];
                if (c.v <= info.lastOffset && verify(plane, info, x, c.v))
                    out.push_back({x, c.v, t});
            }
        }
    }
    std::sort(out.begin(), out.end(), [](const Fit& a, const Fit& b) {
        return a.x != b.x ? a.x < b.x : a.index != b.index ? a.index < b.index : a.v < b.v;
    });
    out.erase(
        std::unique(out.begin(), out.end(),
                    [](const Fit& a, const Fit& b) { return a.x == b.x && a.index == b.index; }),
        out.end());
}

void ScanBucket(const FitFinder::Bucket& b, const BitPlane& plane, int lastV, long long columns,
                std::vector<FitFinder::Candidate>& out) {
    const std::uint8_t* bytes = plane.bytes();
    const std::size_t stride = plane.bytesPerRow();
    for (int v = 0; v <= lastV; ++v) {
        for (int phase = 0; phase < 8; ++phase) {
            const long long nq = (columns - phase + 7) / 8; // places x = 8 q + phase below columns
            const auto& k1 = b.phases[static_cast<std::size_t>(phase)][0];
            const auto& k2 = b.phases[static_cast<std::size_t>(phase)][1];
            const std::uint8_t* r1 =
                bytes + static_cast<std::size_t>(v + k1.row) * stride + k1.byte;
            const std::uint8_t* r2 =
                bytes + static_cast<std::size_t>(v + k2.row) * stride + k2.byte;
            for (long long q = 0; q < nq; ++q) {
                auto m = static_cast<std::uint8_t>(k1.lo[r1[q] & 15] & k1.hi[r1[q] >> 4]);
                if (m == 0) continue;
                m &= static_cast<std::uint8_t>(k2.lo[r2[q] & 15] & k2.hi[r2[q] >> 4]);
                if (m != 0) out.push_back({q, v, static_cast<std::uint8_t>(phase), m});
            }
        }
    }
}

#if defined(TIRELMA_AVX2_DISPATCH)
__attribute__((target("avx2"))) void ScanBucketAvx2(const FitFinder::Bucket& b,
                                                    const BitPlane& plane, int lastV,
                                                    long long columns,
                                                    std::vector<FitFinder::Candidate>& out) {
    const std::uint8_t* bytes = plane.bytes();
    const std::size_t stride = plane.bytesPerRow();
    const __m256i low = _mm256_set1_epi8(0x0F);
    for (int v = 0; v <= lastV; ++v) {
        for (int phase = 0; phase < 8; ++phase) {
            const long long nq = (columns - phase + 7) / 8;
            const auto& k1 = b.phases[static_cast<std::size_t>(phase)][0];
            const auto& k2 = b.phases[static_cast<std::size_t>(phase)][1];
            const std::uint8_t* r1 =
                bytes + static_cast<std::size_t>(v + k1.row) * stride + k1.byte;
            const std::uint8_t* r2 =
                bytes + static_cast<std::size_t>(v + k2.row) * stride + k2.byte;
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
                    out.push_back({q0 + i, v, static_cast<std::uint8_t>(phase), lanes[i]});
                }
            }
        }
    }
}
#else
void ScanBucketAvx2(const FitFinder::Bucket& b, const BitPlane& plane, int lastV, long long columns,
                    std::vector<FitFinder::Candidate>& out) {
    ScanBucket(b, plane, lastV, columns, out);
}
#endif

} // namespace engine
