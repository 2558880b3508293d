// A bitmap font read from a BDF file, enough to draw lines of text as a
// screen shows them: each glyph's bitmap placed in a cell of the font's
// advance width and ascent + descent rows.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lines {

struct Glyph {
    int advance = 0;
    int width = 0, height = 0, xOffset = 0, yOffset = 0; // BBX
    std::vector<std::uint32_t> rows;                     // bit c = column c from the left
};

struct BitmapFont {
    std::string name;
    int ascent = 0, descent = 0;
    std::map<char32_t, Glyph> glyphs;

    int cellHeight() const { return ascent + descent; }
    const Glyph& glyph(char32_t c) const {
        const auto it = glyphs.find(c);
        if (it == glyphs.end()) throw std::runtime_error(name + ": no glyph for a character");
        return it->second;
    }
    // Whether the pixel (x, y) of the character's cell is ink.
    bool ink(char32_t c, int x, int y) const {
        const Glyph& g = glyph(c);
        const int gx = x - g.xOffset;
        const int gy = y - (ascent - g.yOffset - g.height);
        if (gx < 0 || gy < 0 || gx >= g.width || gy >= g.height || gx >= 32) return false;
        return (g.rows[static_cast<std::size_t>(gy)] >> gx) & 1;
    }
};

// Reads the BDF file; throws when it cannot be read or is not BDF.
inline BitmapFont ReadBdf(const std::string& path, const std::string& name) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    BitmapFont font;
    font.name = name;
    std::string line;
    Glyph g;
    long long encoding = -1;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "FONT_ASCENT") {
            words >> font.ascent;
        } else if (key == "FONT_DESCENT") {
            words >> font.descent;
        } else if (key == "STARTCHAR") {
            g = Glyph{};
            encoding = -1;
        } else if (key == "ENCODING") {
            words >> encoding;
        } else if (key == "DWIDTH") {
            words >> g.advance;
        } else if (key == "BBX") {
            words >> g.width >> g.height >> g.xOffset >> g.yOffset;
        } else if (key == "BITMAP") {
            for (int r = 0; r < g.height && std::getline(in, line); ++r) {
                // Hex digits, the leftmost pixel in the top bit of the first byte.
                const unsigned long long bits = std::stoull(line, nullptr, 16);
                const int bitCount = static_cast<int>(line.find_first_of("\r ") == std::string::npos
                                                          ? line.size()
                                                          : line.find_first_of("\r ")) *
                                     4;
                std::uint32_t row = 0;
                for (int c = 0; c < g.width && c < 32; ++c)
                    if ((bits >> (bitCount - 1 - c)) & 1) row |= 1u << c;
                g.rows.push_back(row);
            }
        } else if (key == "ENDCHAR") {
            if (encoding >= 0 && static_cast<int>(g.rows.size()) == g.height)
                font.glyphs[static_cast<char32_t>(encoding)] = g;
        }
    }
    if (font.glyphs.empty() || font.cellHeight() <= 0)
        throw std::runtime_error(path + " is not a BDF font");
    return font;
}

} // namespace lines
