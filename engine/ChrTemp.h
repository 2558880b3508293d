// Character templates of one group, as loaded from the profile.
//
// A template is the two-level picture of one character: width X and height Y
// in pixels, one row mask per row (bit c = column c from the left, set for
// ink). Templates are kept in ascending order of their names (UTF-16 code
// units), which decides which of two equally good templates wins.
#pragma once

#include "ProfileLayout.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace modTemp {

// Widest template whose rows can be decoded (the column mask doubles per
// column and must stay within a signed 32-bit integer).
inline constexpr int kMaxTemplateWidth = 30;
// Tallest template taken; no cut of a real screen area comes near it, and it
// keeps a hand-edited height from exhausting memory.
inline constexpr int kMaxTemplateHeight = 4096;

struct ChrTemp {
    std::u16string Chr;           // text appended to the answer
    float X = 0;                  // width in pixels
    float Y = 0;                  // height in pixels
    std::vector<std::int32_t> BL; // row masks as stored
    std::vector<float> Dot;       // Dot(c, r) at [c * height + r]: 1 ink, 0 background

    // The ink bits of each row below the width, for the fast matcher.
    std::vector<std::uint32_t> Rows;

    int width() const { return static_cast<int>(X); }
    int height() const { return static_cast<int>(Y); }
    float dot(int c, int r) const { return Dot[static_cast<std::size_t>(c) * height() + r]; }

    // A template of the given size and rows (bits at or above the width are
    // ignored, as when loading).
    static ChrTemp FromRows(std::u16string chr, int width, const std::vector<std::int32_t>& rows);
};

using ChrTempList = std::vector<ChrTemp>;

struct SkippedTemplate {
    std::u16string name;
    std::string reason; // English, for the command-line reader's warning
};

struct LoadedGroup {
    ChrTempList templates;
    std::vector<SkippedTemplate> skipped;
};

// Where the loader reads: a profile, or a stand-in.
using TemplateSource = profile::Source;

// Loads group g: the names of [Chr] G<g>ALLCHR split at "\\" and sorted with
// CombSort, then one template per name from section G<g>ChrDat<name>. A name
// whose section is missing, or whose width or height is not a whole number
// from 1 to its limit, or whose rows do not fit 32 bits, is skipped and
// reported; the rest of the group still works.
LoadedGroup LoadChrTempList(std::int32_t group, const TemplateSource& source);

} // namespace modTemp
