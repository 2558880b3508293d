// What every real platform does through Qt alone or the same way: the
// clipboard, opening documents, the notification area, the start at
// sign-in. The system-specific parts derive from it.
#pragma once

#include "Platform.h"

namespace platform {

class PlatformCommon : public Platform {
public:
    void setClipboardImage(const QImage& image) override;
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

} // namespace platform
