// Design positions of the editor's windows are in twips; 15 twips make one
// pixel at 96 dots per inch.
#pragma once

#include <QRect>

namespace editor {

inline constexpr int kTwipsPerPixel = 15;

inline constexpr int TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

inline QRect Twips(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

} // namespace editor
