// The verdict of a reading written from its definition, pixel by pixel: the
// background is the level of most border pixels; ink is the other level; a
// character read covers its template's box where it fitted, and on the
// bottom row the template's columns. Slow on purpose; the production verdict
// must give the same places.
#pragma once

#include "AreaImage.h"
#include "ChrTemp.h"
#include "ReadChar.h"
#include "Verdict.h"

#include <algorithm>
#include <vector>

namespace literal {

inline std::vector<engine::UnreadPlace> UnreadInk(const engine::AreaImage& img,
                                                  const modTemp::ChrTempList& list,
                                                  const std::vector<engine::ReadChar>& chars) {
    const int w = img.width, h = img.height;
    auto dark = [&](int x, int y) { return (img.pixel(x, y) & 0xFF) < 128; };
    int border = 0, darkBorder = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (y == 0 || y == h - 1 || x == 0 || x == w - 1) {
                ++border;
                darkBorder += dark(x, y) ? 1 : 0;
            }
    const bool darkBackground = 2 * darkBorder > border;
    auto covered = [&](int x, int y) {
        for (const auto& c : chars) {
            const auto& t = list[static_cast<std::size_t>(c.index)];
            const bool columns = x >= c.column && x < c.column + t.width();
            const bool rows = y >= c.row && y < c.row + t.height();
            if (columns && (rows || y == h - 1)) return true;
        }
        return false;
    };
    auto unread = [&](int x, int y) { return dark(x, y) != darkBackground && !covered(x, y); };
    std::vector<engine::UnreadPlace> places;
    for (int x = 0; x < w; ++x) {
        int top = h, bottom = -1;
        for (int y = 0; y < h; ++y)
            if (unread(x, y)) top = std::min(top, y), bottom = y;
        if (bottom < 0) continue;
        if (!places.empty() && places.back().last == x - 1) {
            places.back().last = x;
            places.back().top = std::min(places.back().top, top);
            places.back().bottom = std::max(places.back().bottom, bottom);
        } else {
            places.push_back({x, x, top, bottom});
        }
    }
    return places;
}

} // namespace literal
