#include "AreaPicture.h"

#include <algorithm>
#include <cmath>

namespace mainwin {

PictureFit FitPicture(QSize picture, QSize room, double ratio) {
    PictureFit fit;
    if (picture.isEmpty()) return fit;
    const int most = std::max(1, static_cast<int>(std::floor(ratio + 1e-9)));
    for (fit.zoom = most; fit.zoom > 1; --fit.zoom)
        if (picture.width() * fit.zoom <= room.width() &&
            picture.height() * fit.zoom <= room.height())
            break;
    fit.shown = QSize(std::min(picture.width(), room.width() / fit.zoom),
                      std::min(picture.height(), room.height() / fit.zoom));
    return fit;
}

QPixmap AreaPixmap(const QImage& picture, QSize room, double ratio, const QList<QRect>& marks) {
    if (picture.isNull()) return {};
    const QSize physical(static_cast<int>(std::floor(room.width() * ratio + 1e-9)),
                         static_cast<int>(std::floor(room.height() * ratio + 1e-9)));
    const PictureFit fit = FitPicture(picture.size(), physical, ratio);
    if (fit.shown.isEmpty()) return {};
    const QImage part = picture.copy(QRect(QPoint(0, 0), fit.shown));
    QImage zoomed =
        part.scaled(part.size() * fit.zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .convertToFormat(QImage::Format_RGB32);
    // Frames of whole screen pixels, drawn pixel by pixel: no painter's
    // rounding at any scale.
    const QRect inside = zoomed.rect();
    for (const QRect& m : marks) {
        const QRect frame = QRect(m.left() * fit.zoom - 1, m.top() * fit.zoom - 1,
                                  m.width() * fit.zoom + 2, m.height() * fit.zoom + 2) &
                            inside;
        if (frame.isEmpty()) continue;
        for (int x = frame.left(); x <= frame.right(); ++x) {
            zoomed.setPixel(x, frame.top(), kMarkColour);
            zoomed.setPixel(x, frame.bottom(), kMarkColour);
        }
        for (int y = frame.top(); y <= frame.bottom(); ++y) {
            zoomed.setPixel(frame.left(), y, kMarkColour);
            zoomed.setPixel(frame.right(), y, kMarkColour);
        }
    }
    QPixmap pixmap = QPixmap::fromImage(zoomed);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace mainwin
