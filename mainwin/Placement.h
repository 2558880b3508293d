// Window placement: twips (1/1440 inch, 15 to the pixel at 96 dots per inch)
// as stored in the profile, and keeping a window where it can be seen.
#pragma once

#include "Twips.h"
#include <QList>

#include <QRect>

#include <cmath>

namespace mainwin {

using platform::PixelsToTwips;
using platform::TwipsToPixels;

// The window's frame moved onto a screen when too little of it (less than
// its title-bar strip) lies on any: a stored placement from a monitor that
// has since been removed. Otherwise the frame as it is.
QRect BringOntoScreens(const QRect& frame, const QList<QRect>& screens);

} // namespace mainwin
