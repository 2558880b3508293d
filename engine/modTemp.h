// The template matcher: which registered character, if any, stands at a
// given place of a captured area.
//
// TempMatch samples a scan window (dark = red below 128), slides one template
// over it and keeps, in placement order (rows first, then columns), up to 50
// placements with fewer than MatchLimit mismatching pixels (the pruning and
// acceptance bound a caller passes; every reading passes 3); its score is the
// smallest count among them. The offsets stop one short of the last possible
// placement, so a template as tall as the window never matches. ChrSearch
// tries every template of the group in a window twice the template's width
// and accepts only a perfect fit (score 0); of several, the lowest index wins.
#pragma once

#include "AreaImage.h"
#include "ChrTemp.h"

#include <cstdint>

namespace engine {
class BitPlane;
}

namespace modTemp {

// No character, as index and as score.
inline constexpr int kNoMatch = 999;

// Candidates kept per template and window.
inline constexpr int kMaxCandidates = 50;

struct ScanRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

// True with the best score when template `index` has an acceptable placement
// in window r of the image; otherwise false and score 999.
bool TempMatch(const ChrTempList& list, int index, const ScanRect& r,
               const engine::AreaImage& image, double matchLimit, std::int16_t& score);

// The index of the character at window r (Left, Top, Height set by the
// caller), or 999. bestScore is the smallest score seen (999 when none).
// r.Width is left at twice the width of the last template of the list.
int ChrSearch(const ChrTempList& list, ScanRect& r, const engine::AreaImage& image,
              double matchLimit, float& bestScore);

// TempMatch over an already sampled area; -1 when nothing acceptable.
int BestScore(const ChrTemp& t, long long left, long long top, int windowWidth, int windowHeight,
              const engine::BitPlane& plane, double limit);

} // namespace modTemp
