// What every real platform does through Qt alone or the same way: the
// clipboard, opening documents, the notification area, the start at
// sign-in. The system-specific parts derive from it.
#pragma once

#include "Platform.h"

namespace platform {

class PlatformCommon : public Platform {
public:
    void setClipboardImage(const QImage& image) override;
    void setClipboardText(const QString& text) override;
    QImage clipboardImage() override;
    bool openUrl(const QUrl& url) override;
    bool notificationAreaReady() override;
    bool trayMenuNeedsForeground() override { return false; }
    void bringToForeground(QWidget*) override {}
    AutostartState autostart() override;
    bool setAutostart(bool on) override;
    void whenAskedToEnd(std::function<void()>) override {}
};

// The image of rect from a copy of screen pixels, with white where no screen
// is. screens: the monitors, all in physical pixels.
QImage WhiteOutsideScreens(QImage image, const QRect& rect, const QList<QRect>& screens);

// The rectangles cut out of one picture of the screen whose top-left pixel
// is at origin, white beyond the picture and where no screen is; empty
// images for empty rectangles.
QList<QImage> CutRects(const QImage& picture, QPoint origin, const QList<QRect>& rects,
                       const QList<QRect>& screens);

// The smallest rectangle holding every non-empty one of rects.
QRect Bounds(const QList<QRect>& rects);

} // namespace platform
