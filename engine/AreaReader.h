// The scan of a recognition run: the area read from left to right.
//
// From position 0, ChrSearch is asked at each position with a window as high
// as the area; a character found is appended and the position jumps by its
// template's width, no character moves it one column on. The loop ends when
// position + the last template's window width is not less than the area's
// width (the sum in single precision); the first position is always tried.
//
// The answer is the one the literal procedure gives, found much faster:
// whether a template fits perfectly at a given place of the area does not
// depend on the scan position that tries it, so the area is sampled once and
// every template's perfect fits are found beforehand. Only where a window
// holds more than 50 placements, so that the rule that only the first 50
// near-fits take part can matter, are the placements walked in window order.
#pragma once

#include "AreaImage.h"
#include "BitPlane.h"
#include "ChrTemp.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// One character of a reading.
struct ReadChar {
    int index = 0;        // of its template in the group
    long long left = 0;   // the scan position that found it
    long long column = 0; // the leftmost column of the area where it fits perfectly in its window
};

// Reads areas with one group of templates. What depends only on the
// templates is prepared once; the buffers of a read are kept for the next.
class AreaReader {
public:
    explicit AreaReader(modTemp::ChrTempList list);

    const modTemp::ChrTempList& templates() const { return list_; }

    // The text read from the image, for the given mismatch bound (a run uses 3).
    std::u16string read(const AreaImage& image, double matchLimit = 3);

    // The same reading character by character, with where each one stands.
    std::vector<ReadChar> readChars(const AreaImage& image, double matchLimit = 3);

private:
    // Candidates come from a key: one 8-column slice of one template row.
    // Every place of the area whose slice value is some template's key is
    // checked row by row. Templates keyed on the same row and column share
    // one table from slice value to templates, and one pass over the area;
    // keys are chosen so that few such groups are needed.
    struct KeyGroup {
        int row = 0;    // template row of the key
        int column = 0; // first column of the key
        int minHeight = 0;
        std::vector<std::uint64_t> table; // 256 sets of templates
    };
    struct RowCheck {
        std::size_t offset; // of the template row in the sampled area, in words
        std::uint64_t bits;
    };
    struct Checks {
        std::uint64_t mask = 0;           // the template's width in low bits
        std::uint32_t begin = 0, end = 0; // its rows in checks_, the most ink first
        int width = 0;
        int lastOffset = 0; // the last vertical offset tried in the area
    };

    void perfectFits(long long columns);
    bool verify(const Checks& c, long long x, int v) const;
    bool fitsAt(const modTemp::ChrTemp& t, long long left, double limit, int stopAt) const;

    modTemp::ChrTempList list_;
    std::vector<KeyGroup> groups_;
    std::vector<int> checkRows_; // template row of each check
    std::size_t stride_ = 0;     // words per sampled row that the offsets were made for
    std::vector<RowCheck> checks_;
    std::vector<Checks> info_;
    std::size_t setWords_ = 0; // 64-bit words of a set of templates
    int maxWidth_ = 0;

    BitPlane plane_;
    std::vector<std::uint64_t> widerThan_;  // per k: the set of templates wider than k
    std::vector<std::uint64_t> fitSets_;    // per column x: the set of templates that fit at x
    std::vector<std::uint64_t> any_;        // bit x: some template fits at column x
    std::vector<std::uint64_t> capMatters_; // the set with more than 50 placements in a window
};

// One read with a fresh reader.
std::u16string ReadArea(const AreaImage& image, const modTemp::ChrTempList& list,
                        double matchLimit = 3);

} // namespace engine
