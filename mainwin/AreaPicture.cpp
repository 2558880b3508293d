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

QPixmap AreaPixmap(const QImage& picture, QSize room, double ratio) {
    if (picture.isNull()) return {};
    const QSize physical(static_cast<int>(std::floor(room.width() * ratio + 1e-9)),
                         static_cast<int>(std::floor(room.height() * ratio + 1e-9)));
    const PictureFit fit = FitPicture(picture.size(), physical, ratio);
    if (fit.shown.isEmpty()) return {};
    const QImage part = picture.copy(QRect(QPoint(0, 0), fit.shown));
    QPixmap pixmap = QPixmap::fromImage(
        part.scaled(part.size() * fit.zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace mainwin
