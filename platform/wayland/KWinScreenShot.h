// KWin's own screenshot interface (org.kde.KWin.ScreenShot2 on the session
// bus), the way in on KDE Plasma beside the portal. KWin answers only
// programs whose desktop entry names the interface in
// X-KDE-DBUS-Restricted-Interfaces and whose Exec is the very program that
// asks (an absolute path: KWin compares it with the asking process's
// executable). An installed copy has such an entry; a copy run from
// elsewhere is refused, and the portal remains.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVariantMap>

namespace platform::wayland {

class KWinScreenShot {
public:
    // Whether KWin offers the interface on the session bus.
    static bool Offered();

    // The whole workspace in physical pixels, as the portal's picture is
    // laid out; a null image with why set otherwise. refused tells that KWin
    // does not let this program in (no desktop entry naming it), so that
    // the caller stops asking.
    QImage captureWorkspace(QString& why, bool& refused);
};

// The picture from the bytes KWin wrote and the description it answered
// with (type "raw", width, height, stride, format as QImage::Format); a
// null image when they do not fit together.
QImage PictureFromRaw(const QByteArray& bytes, const QVariantMap& described);

} // namespace platform::wayland
