// Small pictures for the editor's tests: patterns of '#' (black) and '.'
// (white), lines drawn in the 5 x 7 font of the examples, and templates cut
// out of them as the editor cuts them.
#pragma once

#include "ChrTemp.h"
#include "ScreenGrab.h"

#include <QImage>
#include <QRect>

#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace glyphs {

inline QImage Pattern(const std::vector<std::string>& rows) {
    QImage img(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()),
               QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y,
                         rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#'
                             ? qRgb(0, 0, 0)
                             : qRgb(255, 255, 255));
    return img;
}

inline QImage Pattern(std::initializer_list<const char*> rows) {
    return Pattern(std::vector<std::string>(rows.begin(), rows.end()));
}

inline const std::map<char, std::vector<std::string>>& Font() {
    static const std::map<char, std::vector<std::string>> font{
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
        {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
        {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {'.', {"..", "..", "..", "..", "..", "##", "##"}},
        {'-', {"...", "...", "...", "###", "...", "...", "..."}},
    };
    return font;
}

// text in the font: gap white columns between glyphs, blank columns for a
// ' ', margin columns at both ends, above and below white rows.
inline std::vector<std::string> Line(std::string_view text, int gap = 1, int blank = 6,
                                     int margin = 2, int above = 1, int below = 2) {
    std::vector<std::string> rows(7, std::string(static_cast<std::size_t>(margin), '.'));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto& g = text[i] == ' '
                            ? std::vector<std::string>(
                                  7, std::string(static_cast<std::size_t>(blank - gap), '.'))
                            : Font().at(text[i]);
        for (std::size_t r = 0; r < 7; ++r)
            rows[r] +=
                g[r] + (i + 1 < text.size() ? std::string(static_cast<std::size_t>(gap), '.') : "");
    }
    for (auto& r : rows)
        r += std::string(static_cast<std::size_t>(margin), '.');
    std::vector<std::string> out(static_cast<std::size_t>(above), std::string(rows[0].size(), '.'));
    out.insert(out.end(), rows.begin(), rows.end());
    out.insert(out.end(), static_cast<std::size_t>(below), std::string(rows[0].size(), '.'));
    return out;
}

// The template a cut of the two-level image gives (black cells are ink).
inline modTemp::ChrTemp TemplateOf(const QImage& twoLevel, const QRect& cut, std::u16string chr) {
    std::vector<std::int32_t> rows;
    for (int y = cut.top(); y <= cut.bottom(); ++y) {
        std::int32_t mask = 0;
        for (int x = cut.left(); x <= cut.right(); ++x)
            if (twoLevel.rect().contains(x, y) && (twoLevel.pixel(x, y) & 0xFFFFFF) == 0)
                mask |= 1 << (x - cut.left());
        rows.push_back(mask);
    }
    return modTemp::ChrTemp::FromRows(std::move(chr), cut.width(), rows);
}

// A group in the order the loader keeps (names ascending).
inline modTemp::ChrTempList Sorted(modTemp::ChrTempList list) {
    std::sort(list.begin(), list.end(),
              [](const modTemp::ChrTemp& a, const modTemp::ChrTemp& b) { return a.Chr < b.Chr; });
    return list;
}

} // namespace glyphs
