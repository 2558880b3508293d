// Lines of screen text as users read them: a row of numbers (or, for large
// groups, letters and signs) drawn in one of the X11 bitmap fonts and one
// colour scheme, in an area a few rows taller than the font's cells, and the
// templates a user would cut from such a line in the editor (each glyph's
// cell, two-levelled at 128: red at or below the level is ink).
#pragma once

#include "AreaImage.h"
#include "BitmapFont.h"
#include "ChrTemp.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace lines {

struct Scheme {
    const char* name;
    std::uint32_t ink, paper; // 0x00BBGGRR
    bool lightOnDark;
};

inline constexpr Scheme kSchemes[] = {
    {"black-on-white", 0x00000000, 0x00FFFFFF, false},
    {"blue-on-yellow", 0x00FF0000, 0x0000FFFF, false},
    {"white-on-navy", 0x00FFFFFF, 0x00800000, true},
};

inline const char* const kFontNames[] = {"5x7", "6x10", "6x13", "8x13", "9x15", "10x20"};

// The converted fonts, read once.
inline const std::vector<BitmapFont>& Fonts() {
    static const std::vector<BitmapFont> fonts = [] {
        std::vector<BitmapFont> out;
        for (const char* name : kFontNames)
            out.push_back(ReadBdf(std::string(TIRELMA_FONT_DIR) + "/" + name + ".bdf", name));
        return out;
    }();
    return fonts;
}

inline const BitmapFont& Font(const std::string& name) {
    for (const BitmapFont& f : Fonts())
        if (f.name == name) return f;
    throw std::runtime_error("no font " + name);
}

// The characters of a group of 4, 14, 40 or 100 templates.
inline std::u32string GroupChars(int size) {
    const std::u32string digits = U"0123456789.,-/";
    if (size <= 4) return U"-.01";
    if (size <= 14) return digits;
    std::u32string upper;
    for (char32_t c = U'A'; c <= U'Z'; ++c)
        upper += c;
    if (size <= 40) return digits + upper;
    std::u32string all;
    for (char32_t c = 0x21; c <= 0x7E; ++c)
        all += c;
    return all + U"\u00B0\u00B1\u00B5\u00D7\u00F7\u00A7";
}

// The red-only two-level rule of the editor.
inline bool InkAtLevel(std::uint32_t colour, int level = 128) {
    return static_cast<int>(colour & 0xFF) <= level;
}

// A character's cell in the scheme's colours, pixel (x, y) at [y * advance + x].
inline std::vector<std::uint32_t> Cell(const BitmapFont& font, char32_t c, const Scheme& s) {
    const Glyph& g = font.glyph(c);
    std::vector<std::uint32_t> px(static_cast<std::size_t>(g.advance * font.cellHeight()));
    for (int y = 0; y < font.cellHeight(); ++y)
        for (int x = 0; x < g.advance; ++x)
            px[static_cast<std::size_t>(y * g.advance + x)] = font.ink(c, x, y) ? s.ink : s.paper;
    return px;
}

// The template cut around a character's cell, or a part of it (columns
// [left, left + width), rows [top, top + height) of the cell).
inline modTemp::ChrTemp CutTemplate(const BitmapFont& font, char32_t c, const Scheme& s, int left,
                                    int top, int width, int height) {
    const Glyph& g = font.glyph(c);
    const auto px = Cell(font, c, s);
    std::vector<std::int32_t> rows(static_cast<std::size_t>(height), 0);
    for (int r = 0; r < height; ++r)
        for (int k = 0; k < width; ++k) {
            const int x = left + k, y = top + r;
            const bool inside = x >= 0 && y >= 0 && x < g.advance && y < font.cellHeight();
            // Outside the cell the editor sees the line's background.
            const std::uint32_t colour =
                inside ? px[static_cast<std::size_t>(y * g.advance + x)] : s.paper;
            if (InkAtLevel(colour)) rows[static_cast<std::size_t>(r)] |= 1 << k;
        }
    return modTemp::ChrTemp::FromRows(std::u16string(1, static_cast<char16_t>(c)), width, rows);
}

// A group in the order the loader gives (names ascending).
inline modTemp::ChrTempList CutGroup(const BitmapFont& font, const std::u32string& chars,
                                     const Scheme& s) {
    modTemp::ChrTempList list;
    for (const char32_t c : chars)
        list.push_back(CutTemplate(font, c, s, 0, 0, font.glyph(c).advance, font.cellHeight()));
    std::sort(list.begin(), list.end(),
              [](const modTemp::ChrTemp& a, const modTemp::ChrTemp& b) { return a.Chr < b.Chr; });
    return list;
}

// Text of numbers (or words of the group's characters) with blanks between.
inline std::u32string MakeText(const std::u32string& chars, std::size_t length, std::mt19937& rng) {
    auto pick = [&rng](const std::u32string& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    const bool numbers = chars.find(U'A') == std::u32string::npos;
    std::u32string digits;
    for (const char32_t c : chars)
        if (c >= U'0' && c <= U'9') digits += c;
    std::u32string text;
    while (text.size() < length) {
        if (numbers) {
            if (rng() % 3 == 0 && chars.find(U'-') != std::u32string::npos) text += U'-';
            for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n)
                text += pick(digits);
            const char32_t sep = pick(chars);
            if (sep == U'.' || sep == U',' || sep == U'/') {
                text += sep;
                for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n)
                    text += pick(digits);
            }
        } else {
            for (int n = 2 + static_cast<int>(rng() % 7); n > 0; --n)
                text += pick(chars);
        }
        for (int n = 1 + static_cast<int>(rng() % 2); n > 0; --n)
            text += U' ';
    }
    return text;
}

enum class Variant { Clean, Noise, NearMiss };

inline const char* VariantName(Variant v) {
    return v == Variant::Clean ? "clean" : v == Variant::Noise ? "noise" : "near-miss";
}

struct Line {
    engine::AreaImage image;
    std::u32string text; // what was drawn
    int row = 0;         // of the cells' top
};

// A line of `width` pixels, `slack` rows taller than the cells, its cells'
// top at `row`, the text filling the width but for `margin` columns at the
// right.
// Noise: about one pixel in 200 gets a random colour. Near-miss: about a
// quarter of the glyphs have one pixel of their cell changed, so they fit
// their template with one mismatch and are not read.
inline Line DrawLine(const BitmapFont& font, const Scheme& s, const std::u32string& chars,
                     int width, int slack, int row, Variant variant, unsigned seed,
                     int margin = 0) {
    std::mt19937 rng(seed);
    Line line;
    line.row = row;
    line.image = engine::AreaImage(width, font.cellHeight() + slack, s.paper);
    const int advance = font.glyph(U'0').advance;
    line.text = MakeText(chars, static_cast<std::size_t>(width / std::max(1, advance) + 1), rng);
    int x = 1 + static_cast<int>(rng() % 4);
    std::u32string drawn;
    for (const char32_t c : line.text) {
        const Glyph& g = font.glyph(c);
        if (x + g.advance > width - margin) break;
        const auto px = Cell(font, c, s);
        for (int y = 0; y < font.cellHeight(); ++y)
            for (int k = 0; k < g.advance; ++k)
                line.image.setPixel(x + k, row + y,
                                    px[static_cast<std::size_t>(y * g.advance + k)]);
        if (variant == Variant::NearMiss && c != U' ' && rng() % 4 == 0) {
            const int k = static_cast<int>(rng() % static_cast<unsigned>(g.advance));
            const int y = static_cast<int>(rng() % static_cast<unsigned>(font.cellHeight()));
            const bool ink = font.ink(c, k, y);
            line.image.setPixel(x + k, row + y, ink ? s.paper : s.ink);
        }
        drawn += c;
        x += g.advance;
    }
    line.text = drawn;
    if (variant == Variant::Noise)
        for (auto& p : line.image.pixels)
            if (rng() % 200 == 0) p = rng() & 0x00FFFFFFu;
    return line;
}

} // namespace lines
