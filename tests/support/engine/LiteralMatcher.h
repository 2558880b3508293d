// The matcher and the scan written rule for rule as the recognition is
// defined: a window sampled per template, pixel by pixel, a candidate list of
// at most 50, a table of scores, single-precision positions. Slow on
// purpose; the production engine must give the same answers.
#pragma once

#include "AreaImage.h"
#include "ChrTemp.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace literal {

struct ScanRect {
    float Left = 0, Top = 0, Width = 0, Height = 0;
};

inline long long Round(double v) {
    return static_cast<long long>(std::nearbyint(v));
}

// `cap`: the size of the candidate list (50; tests that the cap matters use others).
inline bool TempMatch(const modTemp::ChrTempList& list, int index, const ScanRect& R,
                      const engine::AreaImage& image, double MatchLimit, std::int16_t& score,
                      std::size_t cap = 50) {
    const modTemp::ChrTemp& t = list[static_cast<std::size_t>(index)];
    const long long tw = Round(t.X), th = Round(t.Y);
    const long long W = Round(R.Width), H = Round(R.Height);
    const long long left = Round(R.Left), top = Round(R.Top);

    std::vector<std::int16_t> cell(static_cast<std::size_t>(std::max(W, 0LL) * std::max(H, 0LL)));
    for (long long y = 0; y <= H - 1; ++y)
        for (long long x = 0; x <= W - 1; ++x)
            cell[static_cast<std::size_t>(y * W + x)] =
                (image.pixel(left + x, top + y) & 0xFF) < 128 ? 1 : 0;

    struct Candidate {
        long long u, v;
        std::int16_t score;
    };
    std::vector<Candidate> candidates;
    for (long long v = 0; v <= H - th - 1; ++v) {
        for (long long u = 0; u <= W - tw - 1; ++u) {
            int s = 0;
            bool abandoned = false;
            for (long long j = 0; j <= th - 1 && !abandoned; ++j) {
                for (long long k = 0; k <= tw - 1; ++k) {
                    const float ink = t.dot(static_cast<int>(k), static_cast<int>(j));
                    const int c = cell[static_cast<std::size_t>((v + j) * W + (u + k))];
                    if (static_cast<float>(c) != ink) ++s;
                    if (s > MatchLimit) {
                        abandoned = true;
                        break;
                    }
                }
            }
            if (!abandoned && s < MatchLimit && candidates.size() < cap)
                candidates.push_back({u, v, static_cast<std::int16_t>(s)});
        }
    }
    if (candidates.empty()) {
        score = 999;
        return false;
    }
    Candidate best = candidates.front();
    for (const auto& c : candidates)
        if (c.score < best.score) best = c;
    score = best.score;
    return true;
}

inline int ChrSearch(const modTemp::ChrTempList& list, ScanRect& R, const engine::AreaImage& image,
                     double MatchLimit, float& bestScoreOut, std::size_t cap = 50) {
    int bestIndex = 999;
    float bestScore = 999;
    std::vector<std::int16_t> ScoreTbl(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        ScoreTbl[i] = 999;
        R.Width = 2 * list[i].X;
        const bool found =
            TempMatch(list, static_cast<int>(i), R, image, MatchLimit, ScoreTbl[i], cap);
        if (found && ScoreTbl[i] < bestScore) {
            bestScore = ScoreTbl[i];
            bestIndex = static_cast<int>(i);
        }
    }
    bestScoreOut = bestScore;
    return bestScore == 0 ? bestIndex : 999;
}

// Where a character found at scan position left stands: the leftmost column
// of its window at which the template fits with no mismatch at some row, and
// the top-most such row.
struct Place {
    long long column = -1;
    int row = -1;
};
inline Place FitPlace(const modTemp::ChrTemp& t, long long left, const engine::AreaImage& image) {
    const long long tw = Round(t.X), th = Round(t.Y);
    for (long long u = 0; u <= tw - 1; ++u)
        for (long long v = 0; v <= image.height - th - 1; ++v) {
            bool fits = true;
            for (long long j = 0; j < th && fits; ++j)
                for (long long k = 0; k < tw && fits; ++k)
                    fits = ((image.pixel(left + u + k, v + j) & 0xFF) < 128 ? 1.0f : 0.0f) ==
                           t.dot(static_cast<int>(k), static_cast<int>(j));
            if (fits) return {left + u, static_cast<int>(v)};
        }
    return {};
}

struct Found {
    int index;
    long long left, column;
    int row;
    bool operator==(const Found&) const = default;
};

inline std::vector<Found> RunChars(const engine::AreaImage& image, const modTemp::ChrTempList& list,
                                   double MatchLimit = 3, std::size_t cap = 50) {
    std::vector<Found> found;
    ScanRect R;
    R.Left = 0;
    R.Top = 0;
    R.Width = 0;
    R.Height = static_cast<float>(image.height);
    const float pictureWidth = static_cast<float>(image.width);
    do {
        float score = 0;
        const int index = ChrSearch(list, R, image, MatchLimit, score, cap);
        if (index == 999) {
            R.Left = R.Left + 1;
        } else {
            const auto& t = list[static_cast<std::size_t>(index)];
            const long long left = Round(R.Left);
            const Place p = FitPlace(t, left, image);
            found.push_back({index, left, p.column, p.row});
            R.Left = R.Left + t.X;
        }
    } while (!(static_cast<float>(R.Left + R.Width) >= pictureWidth));
    return found;
}

inline std::u16string Run(const engine::AreaImage& image, const modTemp::ChrTempList& list,
                          double MatchLimit = 3) {
    std::u16string answer;
    for (const Found& f : RunChars(image, list, MatchLimit))
        answer += list[static_cast<std::size_t>(f.index)].Chr;
    return answer;
}

} // namespace literal
