#include "modTemp.h"

#include "BitPlane.h"
#include "Numbers.h"

#include <cmath>

namespace modTemp {

namespace {

long long RoundCoordinate(float v) {
    if (!std::isfinite(v)) return 0;
    const double r = std::nearbyint(static_cast<double>(v)); // halves to even
    if (r < -1e12 || r > 1e12) return 0;
    return static_cast<long long>(r);
}

int RoundSize(float v) {
    const long long r = RoundCoordinate(v);
    return r < 0 ? 0 : (r > 1'000'000'000 ? 1'000'000'000 : static_cast<int>(r));
}

// The count at which a placement is certainly not a candidate: candidates
// need count < limit, so counting can stop at the first whole number >= limit.
int StopCount(double limit) {
    if (!(limit > 0)) return 0;
    if (limit > 1e9) return 1'000'000'000;
    return static_cast<int>(std::ceil(limit));
}

} // namespace

int BestScore(const ChrTemp& t, long long left, long long top, int windowWidth, int windowHeight,
              const engine::BitPlane& plane, double limit) {
    const int tw = t.width();
    const int th = t.height();
    const int stopAt = StopCount(limit);
    if (tw <= 0 || th <= 0 || stopAt == 0) return -1;
    int candidates = 0;
    int best = -1;
    for (int v = 0; v <= windowHeight - th - 1; ++v) {
        for (int u = 0; u <= windowWidth - tw - 1; ++u) {
            const int score = plane.mismatches(t.Rows.data(), th, tw, left + u, top + v, stopAt);
            if (score < stopAt && static_cast<double>(score) < limit) {
                if (best < 0 || score < best) best = score;
                if (++candidates == kMaxCandidates || best == 0) return best;
            }
        }
    }
    return best;
}

bool TempMatch(const ChrTempList& list, int index, const ScanRect& r,
               const engine::AreaImage& image, double matchLimit, std::int16_t& score) {
    const engine::BitPlane plane(image);
    const int best = BestScore(list[static_cast<std::size_t>(index)], RoundCoordinate(r.Left),
                               RoundCoordinate(r.Top), RoundSize(r.Width), RoundSize(r.Height),
                               plane, matchLimit);
    score = static_cast<std::int16_t>(best < 0 ? kNoMatch : best);
    return best >= 0;
}

int ChrSearch(const ChrTempList& list, ScanRect& r, const engine::AreaImage& image,
              double matchLimit, float& bestScore) {
    int bestIndex = kNoMatch;
    bestScore = kNoMatch;
    if (list.empty()) return kNoMatch;
    const engine::BitPlane plane(image);
    for (std::size_t i = 0; i < list.size(); ++i) {
        r.Width = 2 * list[i].X;
        const int s = BestScore(list[i], RoundCoordinate(r.Left), RoundCoordinate(r.Top),
                                RoundSize(r.Width), RoundSize(r.Height), plane, matchLimit);
        if (s >= 0 && static_cast<float>(s) < bestScore) {
            bestScore = static_cast<float>(s);
            bestIndex = static_cast<int>(i);
        }
    }
    return bestScore == 0 ? bestIndex : kNoMatch;
}

} // namespace modTemp
