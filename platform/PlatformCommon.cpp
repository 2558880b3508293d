#include "PlatformCommon.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QRegion>
#include <QSystemTrayIcon>

namespace platform {

void PlatformCommon::setClipboardImage(const QImage& image) {
    if (auto* clipboard = QGuiApplication::clipboard()) clipboard->setImage(image);
}

void PlatformCommon::setClipboardText(const QString& text) {
    if (auto* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}

QImage PlatformCommon::clipboardImage() {
    auto* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return {};
    const QMimeData* data = clipboard->mimeData();
    if (!data || !data->hasImage()) return {};
    return clipboard->image();
}

bool PlatformCommon::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool PlatformCommon::notificationAreaReady() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

AutostartState PlatformCommon::autostart() {
    return ThisProgramAutostart();
}

bool PlatformCommon::setAutostart(bool on) {
    return SetThisProgramAutostart(on);
}

QImage WhiteOutsideScreens(QImage image, const QRect& rect, const QList<QRect>& screens) {
    QRegion outside(QRect(QPoint(0, 0), rect.size()));
    for (const QRect& s : screens)
        outside -= QRegion(s.translated(-rect.topLeft()));
    if (outside.isEmpty()) return image;
    QPainter p(&image);
    for (const QRect& r : outside)
        p.fillRect(r, Qt::white);
    return image;
}

QList<QImage> CutRects(const QImage& picture, QPoint origin, const QList<QRect>& rects,
                       const QList<QRect>& screens) {
    QList<QImage> out;
    for (const QRect& r : rects) {
        if (r.width() <= 0 || r.height() <= 0) {
            out.append(QImage());
            continue;
        }
        QImage image(r.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.drawImage(QPoint(0, 0), picture, r.translated(-origin));
        }
        out.append(WhiteOutsideScreens(image, r, screens));
    }
    return out;
}

QRect Bounds(const QList<QRect>& rects) {
    QRect all;
    for (const QRect& r : rects)
        if (r.width() > 0 && r.height() > 0) all |= r;
    return all;
}

} // namespace platform
