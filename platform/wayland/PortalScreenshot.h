// A picture of the whole desktop through the desktop portal's Screenshot
// interface (org.freedesktop.portal.Screenshot on the session bus), asked
// for without the portal's own dialog. GNOME and KDE answer it on Wayland;
// the first request on GNOME makes the desktop ask the user whether the
// program may read the screen.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace platform::wayland {

class PortalScreenshot : public QObject {
    Q_OBJECT
public:
    // Whether a portal with a Screenshot interface answers on the session bus.
    static bool Offered();

    // The picture (the portal's whole-desktop screenshot, read from the file
    // it names, which is then removed), or a null image with why set: no
    // portal, refused by the user or the desktop, or no answer in time.
    QImage take(QString& why);

signals:
    void answered();

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    bool answered_ = false;
    uint response_ = 2;
    QVariantMap results_;
};

// What the portal's answer means for the user: empty for success (0).
// KDE's portal (Plasma 5.27) saves each picture in the user's pictures
// folder first and answers "cancelled" (1) where that folder is missing:
// missingPictures names it then, and the user is told to make it.
QString PortalRefusal(uint response, const QString& missingPictures = {});

// The pictures folder that KDE's portal would save in, where the desktop
// is KDE and the folder is missing; empty otherwise.
QString KdePicturesFolderMissing();

} // namespace platform::wayland
