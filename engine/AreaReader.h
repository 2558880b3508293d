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
// every template's perfect fits are found for 64 columns at a time. Only at
// positions where some template fits are the placements walked in window
// order, to honour the rule that only the first 50 near-fits of a window
// take part.
#pragma once

#include "AreaImage.h"
#include "ChrTemp.h"

#include <string>

namespace engine {

// The text read from the image with the templates, for the given mismatch
// bound (a run uses 3).
std::u16string ReadArea(const AreaImage& image, const modTemp::ChrTempList& list,
                        double matchLimit = 3);

} // namespace engine
