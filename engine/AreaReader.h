// The scan of a recognition run: the area read from left to right.
//
// From position 0, ChrSearch is asked at each position with a window as high
// as the area; a character found is appended and the position jumps by its
// template's width, no character moves it one column on. The loop ends when
// position + the last template's window width is not less than the area's
// width (the sum in single precision); the first position is always tried.
//
// The answer is the one the literal procedure gives, found much faster. Only
// a perfect fit can win, and whether a template fits perfectly at a given
// place of the area does not depend on the scan position that tries it, so
// the area is sampled once and every perfect fit is found beforehand
// (FitFinder). At a position, a template with a perfect fit in its window
// wins unless 50 near-fits (placements with fewer than MatchLimit, but some,
// mismatching pixels) come before its first perfect fit in window order;
// that can only be when at least 50 placements come before it, and then the
// placements before it are counted only until their number proves the cap
// binds or cannot bind.
#pragma once

#include "AreaImage.h"
#include "BitPlane.h"
#include "ChrTemp.h"
#include "FitFinder.h"
#include "ReadChar.h"
#include "Verdict.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

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

    // The same characters, and the ink none of them covers (Verdict.h), from
    // one sampling of the image.
    JudgedRead readJudged(const AreaImage& image, double matchLimit = 3);

private:
    // A template with a perfect fit in the window at the current position.
    struct InWindow {
        int index;
        long long firstX; // its first fit in window order (rows first)
        int firstV;
        long long leftmost; // its leftmost fit
        int leftmostV;
    };

    modTemp::ChrTempList list_;
    FitFinder finder_;
    std::vector<int> widths_;
    int maxWidth_ = 0;
    TemplateInk ink_;

    BitPlane plane_;
    std::vector<Fit> fits_;
    std::vector<InWindow> inWindow_;
};

// The scan's window: twice the width of the group's last template (what
// ChrSearch leaves in ScanRect.Width); 0 for no template.
float ScanWindow(const modTemp::ChrTempList& list);

// Whether the scan tries a position of an area this wide: the first one
// (0) always, a later one only while position + window is less than the
// width (the sum in single precision).
bool ScanTries(long long position, float window, int areaWidth);

// One read with a fresh reader.
std::u16string ReadArea(const AreaImage& image, const modTemp::ChrTempList& list,
                        double matchLimit = 3);

} // namespace engine
