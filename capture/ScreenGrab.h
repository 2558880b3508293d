// The two screen grabs: a rectangle into an image of its size, and the whole
// desktop onto the clipboard.
#pragma once

#include "AreaImage.h"
#include "Platform.h"

#include <QImage>

namespace capture {

// Copies the screen rectangle whose top-left pixel is (left, top), rounded
// half to even, and whose size is the image's, into image at (0, 0). An image
// of width or height 0 copies nothing. Empty, or why the system gave no
// pixels (the image is then left as it was: a failed grab is no picture of
// a white screen).
QString ScrCap(platform::Platform& platform, QImage& image, float left, float top);

// Puts a picture of the whole desktop as it is now (every monitor, white
// where the rectangle around them has none), on the system clipboard in
// place of whatever it held. Its pixel (0, 0) is the top-left of the
// rectangle around all monitors. Empty, or why the system gave no picture
// (the clipboard then keeps what it held).
QString FullScrCap(platform::Platform& platform);

// The engine's view of a picture: colours as 0x00BBGGRR.
engine::AreaImage ToAreaImage(const QImage& image);

} // namespace capture
