// Which desktop the program runs on, and where a Wayland desktop's monitors
// lie in the program's pixels. Plain functions, no connection to anything.
//
// The pixel rules on Wayland, in one place:
//  - A compositor lays its outputs out in logical pixels (what xdg-output
//    reports, and what Qt's QScreen::geometry() gives on Wayland). An output
//    shows its part of that layout at its own scale, in the physical pixels
//    of its current mode, turned by its transform.
//  - The program counts physical pixels with the primary output's top-left
//    at (0, 0), as on X11 and Windows. An output's physical top-left is its
//    logical distance from the primary's times the largest scale of all
//    outputs, rounded; its size is its mode's as shown. With one scale
//    everywhere this is the compositor's layout enlarged by that scale, the
//    way screenshot tools and the desktop portal compose a picture of
//    several outputs; with mixed scales no two outputs overlap (some leave a
//    gap). Where a compositor cut an output's logical size to whole pixels
//    (1280 pixels at 1.75 are 731 logical ones, 1279.25 back), the outputs
//    beyond it move out by the pixel or two that makes them touch instead of
//    overlap.
//  - Wayland knows no primary output: the one at the layout's (0, 0) counts,
//    or the first the compositor announced.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace platform::wayland {

enum class Session { None, X11, Wayland };

// The session from the environment: Wayland where a Wayland display is
// named (the program is that compositor's client, whatever the login
// manager said), or where the login manager says the session is Wayland;
// X11 where only an X display is named.
Session DetectSession(const QByteArray& waylandDisplay, const QByteArray& sessionType,
                      const QByteArray& x11Display);

// Transforms of wl_output (the values of the protocol).
enum Transform {
    Normal = 0,
    Rotate90,
    Rotate180,
    Rotate270,
    Flipped,
    Flipped90,
    Flipped180,
    Flipped270
};

// An output as the compositor announces it.
struct Output {
    QString name;
    QRect logical; // in the compositor's layout
    QSize mode;    // the current mode, as the hardware scans it out
    int transform = Normal;
};

// An output placed in the program's pixels.
struct Monitor {
    QString name;
    QRect logical;
    QRect physical;   // the program's pixels
    double scale = 1; // physical pixels per logical pixel
    int transform = Normal;
};

// The mode's size as the output shows it (turned a quarter for 90 and 270).
QSize ShownSize(QSize mode, int transform);

// The output's scale from its shown and logical size. Compositors scale in
// steps of 1/120 and cut the logical size to whole pixels (1280 pixels at
// 1.5 are 853 logical ones): the step that gives back the logical size is
// taken, the plain ratio when none does.
double OutputScale(QSize shown, QSize logical);

// Every output in the program's pixels, the primary one first. Outputs
// without a mode or a logical size yet are left out.
QList<Monitor> LayOut(const QList<Output>& outputs);

// A copied output buffer as the output shows it: turned by the output's
// transform, and upright when the compositor said it is stored upside down.
QImage ShownImage(const QImage& buffer, int transform, bool yInverted);

// The pixels of rect (program pixels) from one picture of the whole layout
// (the desktop portal's), which covers the logical rectangle around all
// monitors at one scale. Each monitor's part is taken 1:1 where that scale
// is the monitor's own, and by nearest pixel otherwise; white where no
// monitor is. A null image when the picture cannot be a picture of this
// layout.
QImage FromLayoutPicture(const QImage& picture, const QList<Monitor>& monitors, const QRect& rect);

} // namespace platform::wayland
