// How the main window shows the area it read: every area pixel as a square
// of zoom x zoom screen pixels, never smoothed. The zoom is a whole number up
// to the display's scale factor, so the picture keeps about the size it has
// at scale 1 (at 2 each area pixel is 2 x 2 screen pixels, at 1.5 it is one);
// it is smaller where the picture would not fit its place, and what still
// does not fit is cut off at the right and bottom rather than shrunk.
#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QSize>

namespace mainwin {

struct PictureFit {
    int zoom = 1;
    QSize shown; // the part of the picture shown, in area pixels
};

// picture: in area pixels; room: in screen (physical) pixels.
PictureFit FitPicture(QSize picture, QSize room, double ratio);

// The pixmap for a place of room logical pixels on a display of that ratio.
// marks: places of the picture (area pixels) framed in red, one screen pixel
// around each, inside the picture.
QPixmap AreaPixmap(const QImage& picture, QSize room, double ratio, const QList<QRect>& marks = {});

// The red of those frames.
inline constexpr QRgb kMarkColour = 0xFFE00000;

} // namespace mainwin
