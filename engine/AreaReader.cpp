#include "AreaReader.h"

#include "BitPlane.h"
#include "modTemp.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace engine {

AreaReader::AreaReader(modTemp::ChrTempList list) : list_(std::move(list)) {
    const std::size_t n = list_.size();
    setWords_ = (n + 63) / 64;
    for (const auto& tmpl : list_) {
        maxWidth_ = std::max(maxWidth_, tmpl.width());
        std::vector<int> rows(static_cast<std::size_t>(std::max(0, tmpl.height())));
        for (int j = 0; j < tmpl.height(); ++j)
            rows[static_cast<std::size_t>(j)] = j;
        auto ink = [&tmpl](int j) { return std::popcount(tmpl.Rows[static_cast<std::size_t>(j)]); };
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return ink(a) > ink(b); });
        Checks c;
        c.mask = tmpl.width() > 0 ? (std::uint64_t{1} << tmpl.width()) - 1 : 0;
        c.width = tmpl.width();
        c.begin = static_cast<std::uint32_t>(checks_.size());
        for (const int j : rows) {
            checkRows_.push_back(j);
            checks_.push_back({0, tmpl.Rows[static_cast<std::size_t>(j)]});
        }
        c.end = static_cast<std::uint32_t>(checks_.size());
        info_.push_back(c);
    }

    // Keys: pick, again and again, the slice (row, column) that serves the
    // most templates still without a key, first among slices with ink (a
    // light stretch of the area then matches none), then any.
    auto keyInk = [this](std::size_t t, int j, int o) {
        return std::popcount((list_[t].Rows[static_cast<std::size_t>(j)] >> o) & 0xFFu);
    };
    std::vector<bool> keyed(n);
    for (std::size_t t = 0; t < n; ++t)
        keyed[t] = list_[t].width() <= 0 || list_[t].height() <= 0;
    for (int need = 1; need >= 0; --need) {
        for (;;) {
            int bestRow = -1, bestColumn = 0, bestCount = 0;
            for (int j = 0;; ++j) {
                bool anyTall = false;
                for (int o = 0; o < modTemp::kMaxTemplateWidth; o += 8) {
                    int count = 0;
                    for (std::size_t t = 0; t < n; ++t) {
                        if (keyed[t] || j >= list_[t].height()) continue;
                        anyTall = true;
                        if (o < list_[t].width() && keyInk(t, j, o) >= need) ++count;
                    }
                    if (count > bestCount) bestCount = count, bestRow = j, bestColumn = o;
                }
                if (!anyTall) break;
            }
            if (bestCount == 0) break;
            KeyGroup g{bestRow, bestColumn, modTemp::kMaxTemplateHeight,
                       std::vector<std::uint64_t>(256 * setWords_, 0)};
            for (std::size_t t = 0; t < n; ++t) {
                const auto& tmpl = list_[t];
                if (keyed[t] || bestRow >= tmpl.height() || bestColumn >= tmpl.width() ||
                    keyInk(t, bestRow, bestColumn) < need)
                    continue;
                keyed[t] = true;
                g.minHeight = std::min(g.minHeight, tmpl.height());
                const std::uint32_t keyMask = (1u << std::min(8, tmpl.width() - bestColumn)) - 1;
                const std::uint32_t key =
                    (tmpl.Rows[static_cast<std::size_t>(bestRow)] >> bestColumn) & keyMask;
                for (std::uint32_t value = 0; value < 256; ++value)
                    if ((value & keyMask) == key)
                        g.table[value * setWords_ + t / 64] |= std::uint64_t{1} << (t % 64);
            }
            groups_.push_back(std::move(g));
        }
    }

    // Templates wider than k, for each k: those whose window at L reaches L + k.
    widerThan_.assign(static_cast<std::size_t>(maxWidth_) * setWords_, 0);
    for (std::size_t t = 0; t < n; ++t)
        for (int k = 0; k < list_[t].width(); ++k)
            widerThan_[static_cast<std::size_t>(k) * setWords_ + t / 64] |= std::uint64_t{1}
                                                                            << (t % 64);
}

inline bool AreaReader::verify(const Checks& c, long long x, int v) const {
    // The rows' bits from column x on, through one unaligned 8-byte read at
    // the byte holding column x (57 bits or more, enough for 30 columns);
    // the rows are little-endian words, and are padded at the end.
    static_assert(std::endian::native == std::endian::little);
    const int shift = static_cast<int>(x % 8);
    const char* base = reinterpret_cast<const char*>(plane_.row(v)) + x / 8;
    auto differs = [&](const RowCheck& r) {
        std::uint64_t w;
        std::memcpy(&w, base + r.offset * 8, sizeof w);
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

// Every column x in [0, columns) where a template fits with no mismatch at
// some vertical offset v in [0, H - th - 1].
void AreaReader::perfectFits(long long columns) {
    fitSets_.assign(static_cast<std::size_t>(columns) * setWords_, 0);
    any_.assign(static_cast<std::size_t>((columns + 63) / 64), 0);
    for (const KeyGroup& g : groups_) {
        bool blankKeyMatches = false;
        for (std::size_t w = 0; w < setWords_; ++w)
            blankKeyMatches = blankKeyMatches || g.table[w] != 0;
        const std::uint64_t* table = g.table.data();
        // Key slices start at column x + g.column for x in [0, columns).
        const long long first = g.column, last = g.column + columns - 1;
        for (int v = 0; v <= plane_.height() - g.minHeight - 1; ++v) {
            const std::uint64_t* row = plane_.row(v + g.row);
            for (long long wi = first / 64; wi <= last / 64; ++wi) {
                const std::uint64_t lo = row[wi], hi = row[wi + 1];
                if (!blankKeyMatches && lo == 0 && (hi & 0xFF) == 0) continue; // light: no key here
                const int from = wi == first / 64 ? static_cast<int>(first % 64) : 0;
                const int to = wi == last / 64 ? static_cast<int>(last % 64) : 63;
                const char* bytes = reinterpret_cast<const char*>(row + wi);
                for (int i = from; i <= to; ++i) {
                    std::uint16_t pair;
                    std::memcpy(&pair, bytes + i / 8, sizeof pair);
                    const auto value = static_cast<std::size_t>((pair >> (i % 8)) & 0xFF);
                    const std::uint64_t* set = table + value * setWords_;
                    if (setWords_ == 1 && set[0] == 0) continue; // the usual case: no key matches
                    const long long x = wi * 64 + i - g.column;
                    for (std::size_t w = 0; w < setWords_; ++w) {
                        for (std::uint64_t bits = set[w]; bits; bits &= bits - 1) {
                            const std::size_t t =
                                w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
                            if (v <= info_[t].lastOffset && verify(info_[t], x, v)) {
                                fitSets_[static_cast<std::size_t>(x) * setWords_ + w] |=
                                    std::uint64_t{1} << (t % 64);
                                any_[static_cast<std::size_t>(x / 64)] |= std::uint64_t{1}
                                                                          << (x % 64);
                            }
                        }
                    }
                }
            }
        }
    }
}

// Whether template t wins its window at position left: walking the
// placements in window order, a perfect fit comes before the 50th near-fit.
bool AreaReader::fitsAt(const modTemp::ChrTemp& t, long long left, double limit, int stopAt) const {
    const int tw = t.width();
    const int th = t.height();
    int candidates = 0;
    for (int v = 0; v <= plane_.height() - th - 1; ++v) {
        for (int u = 0; u < tw; ++u) {
            const int score = plane_.mismatches(t.Rows.data(), th, tw, left + u, v, stopAt);
            if (score < stopAt && static_cast<double>(score) < limit) {
                if (score == 0) return true;
                if (++candidates == modTemp::kMaxCandidates) return false;
            }
        }
    }
    return false;
}

std::u16string AreaReader::read(const AreaImage& image, double matchLimit) {
    std::u16string answer;
    answer.reserve(64);
    for (const ReadChar& c : readChars(image, matchLimit))
        answer += list_[static_cast<std::size_t>(c.index)].Chr;
    return answer;
}

std::vector<ReadChar> AreaReader::readChars(const AreaImage& image, double matchLimit) {
    std::vector<ReadChar> answer;
    answer.reserve(64);
    // No template, or a bound that admits no perfect fit: every position gives 999.
    if (list_.empty() || !(0.0 < matchLimit)) return answer;
    const int stopAt = matchLimit > 1e9 ? 1'000'000'000 : static_cast<int>(std::ceil(matchLimit));

    // Every position tried is below the width (or 0), and a window reaches
    // at most its template's width past the position.
    const long long columns = static_cast<long long>(std::max(image.width, 1)) + maxWidth_;
    plane_.assign(image, 2 * maxWidth_ + 64);
    capMatters_.assign(setWords_, 0);
    for (std::size_t i = 0; i < list_.size(); ++i) {
        const auto& t = list_[i];
        info_[i].lastOffset = image.height - t.height() - 1;
        // With 50 placements or fewer in a window every perfect fit is among
        // the candidates; otherwise the window has to be walked.
        if (static_cast<long long>(std::max(0, image.height - t.height())) *
                std::max(0, t.width()) >
            modTemp::kMaxCandidates)
            capMatters_[i / 64] |= std::uint64_t{1} << (i % 64);
    }
    if (stride_ != plane_.wordsPerRow()) {
        stride_ = plane_.wordsPerRow();
        for (std::size_t k = 0; k < checks_.size(); ++k)
            checks_[k].offset = static_cast<std::size_t>(checkRows_[k]) * stride_;
    }
    perfectFits(columns);

    const float windowWidth = 2 * list_.back().X; // what ChrSearch leaves in ScanRect.Width
    const float areaWidth = static_cast<float>(image.width);
    // Below 2^24 every sum is exact in single precision, so runs of empty
    // positions can be jumped over; beyond, go one column at a time.
    const bool canJump = image.width < (1 << 23);
    const long long stopFrom = static_cast<long long>(std::ceil(areaWidth - windowWidth));

    long long L = 0;
    for (;;) {
        // The lowest template with a fit in its own window [L, L + width).
        int found = modTemp::kNoMatch;
        for (std::size_t w = 0; w < setWords_ && found == modTemp::kNoMatch; ++w) {
            std::uint64_t set = 0;
            for (int k = 0; k < maxWidth_; ++k)
                set |= fitSets_[static_cast<std::size_t>(L + k) * setWords_ + w] &
                       widerThan_[static_cast<std::size_t>(k) * setWords_ + w];
            for (; set; set &= set - 1) {
                const std::size_t i = w * 64 + static_cast<std::size_t>(std::countr_zero(set));
                if (!((capMatters_[w] >> (i % 64)) & 1) ||
                    fitsAt(list_[i], L, matchLimit, stopAt)) {
                    found = static_cast<int>(i);
                    break;
                }
            }
        }
        if (found != modTemp::kNoMatch) {
            const auto t = static_cast<std::size_t>(found);
            long long column = L;
            while (!((fitSets_[static_cast<std::size_t>(column) * setWords_ + t / 64] >> (t % 64)) &
                     1))
                ++column;
            answer.push_back({found, L, column});
            L += info_[t].width;
        } else if (canJump) {
            // Positions before the first one whose window can reach the next
            // fit give nothing either.
            long long x = L + 1;
            while (x < columns) {
                const std::size_t wi = static_cast<std::size_t>(x / 64);
                const std::uint64_t rest = any_[wi] >> (x % 64);
                if (rest != 0) {
                    x += std::countr_zero(rest);
                    break;
                }
                x = static_cast<long long>(wi + 1) * 64;
            }
            const long long next = std::max(L + 1, x - maxWidth_ + 1);
            L = std::max(L + 1, std::min(next, std::max(stopFrom, L + 1)));
        } else {
            L += 1;
        }
        if (static_cast<float>(static_cast<float>(L) + windowWidth) >= areaWidth) break;
    }
    return answer;
}

std::u16string ReadArea(const AreaImage& image, const modTemp::ChrTempList& list,
                        double matchLimit) {
    AreaReader reader(list);
    return reader.read(image, matchLimit);
}

} // namespace engine
