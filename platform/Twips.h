// Design positions and stored window placements are in twips (1/1440 inch);
// 15 twips make one pixel at 96 dots per inch.
#pragma once

#include <QRect>

#include <cmath>

namespace platform {

inline constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline double PixelsToTwips(int pixels) {
    return static_cast<double>(pixels) * kTwipsPerPixel;
}

// A design rectangle, from twips to pixels.
inline QRect Twips(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

} // namespace platform
