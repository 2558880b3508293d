// A group of random glyphs: cells `height` rows high and 7 columns wide
// (every fifth one 4 wide, for signs), 45 % ink, with a blank right column
// and blank top and bottom rows, like templates cut in the editor.
#pragma once

#include "ChrTemp.h"

#include <random>

namespace glyphs {

inline modTemp::ChrTempList RandomGlyphs(int count, int height, unsigned seed) {
    std::mt19937 rng(seed);
    modTemp::ChrTempList list;
    for (int i = 0; i < count; ++i) {
        const int tw = (i % 5 == 4) ? 4 : 7;
        std::vector<std::int32_t> rows(static_cast<std::size_t>(height), 0);
        for (int r = 1; r + 1 < height; ++r)
            for (int k = 0; k + 1 < tw; ++k)
                if (rng() % 100 < 45) rows[static_cast<std::size_t>(r)] |= 1 << k;
        list.push_back(modTemp::ChrTemp::FromRows(
            std::u16string(1, static_cast<char16_t>(0x21 + i)), tw, rows));
    }
    return list;
}

} // namespace glyphs
