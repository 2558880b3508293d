// Glyphs drawn on engine pictures, for tests: a template's ink as a screen
// would show it, and the small templates the tests read.
#pragma once

#include "AreaImage.h"
#include "ChrTemp.h"

#include <cstdint>

namespace fakes {

inline constexpr std::uint32_t kInk = 0x00000000;
inline constexpr std::uint32_t kPaper = 0x00FFFFFF;

// t's ink at (x, y) of img, its background as paper (or left as it is).
inline void DrawGlyph(engine::AreaImage& img, const modTemp::ChrTemp& t, long long x, long long y,
                      std::uint32_t ink = kInk, bool paintBackground = true,
                      std::uint32_t paper = kPaper) {
    for (int r = 0; r < t.height(); ++r)
        for (int c = 0; c < t.width(); ++c) {
            if (t.dot(c, r) == 1.0f)
                img.setPixel(x + c, y + r, ink);
            else if (paintBackground)
                img.setPixel(x + c, y + r, paper);
        }
}

// A "1": 3 x 4, ink in its middle column and its bottom row.
inline modTemp::ChrTemp One() {
    return modTemp::ChrTemp::FromRows(u"1", 3, {0b010, 0b011, 0b010, 0b111});
}

// A "7": 3 x 4.
inline modTemp::ChrTemp Seven() {
    return modTemp::ChrTemp::FromRows(u"7", 3, {0b111, 0b100, 0b010, 0b010});
}

} // namespace fakes
