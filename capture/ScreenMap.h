// Where each monitor is for Qt and on the screen, and how a mouse position
// that Qt reports becomes a screen pixel.
//
// The pixel rules, in one place:
//  - Screen pixels are physical, in the desktop's coordinates of Platform.h
//    (the primary monitor's top-left at (0, 0)).
//  - Qt places windows and reports the mouse in logical pixels of its own
//    global coordinates. Qt keeps each monitor's top-left where the system
//    has it (the X root window's coordinates, or Windows' virtual desktop)
//    and divides distances inside the monitor by the monitor's scale factor
//    f: logical = L0 + (physical - P0) / f, with L0 the monitor's top-left in
//    Qt's coordinates and P0 in the desktop's.
//  - Qt rounds mouse positions to whole logical pixels, so above a factor of
//    1 one logical position stands for up to f + 1 physical pixels. Of
//    those, the one under the pointer as the system reports it is taken;
//    without that report, the middle one.
#pragma once

#include "Platform.h"

#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>

#include <optional>

namespace capture {

struct ScreenPlace {
    QRect logical;    // the monitor in Qt's coordinates (QScreen::geometry())
    QRect physical;   // the monitor on the desktop, in physical pixels
    double ratio = 1; // Qt's scale factor on it (QScreen::devicePixelRatio())
};

// A monitor as Qt sees it.
struct QtScreen {
    QRect geometry;
    double ratio = 1;
    QString name{}; // QScreen::name()
};

// Qt's monitors matched with the desktop's: the desktop monitor whose
// top-left lies where Qt's does (counted from the primary monitor's). A Qt
// monitor without such a partner is sized by its scale factor.
QList<ScreenPlace> PlaceScreens(const QList<QtScreen>& qt, const QRect& qtPrimary,
                                const QList<QRect>& desktop);

// Qt's monitors matched with a desktop that lays its monitors out for
// windows apart from their pixels (Wayland): by name, else by the logical
// rectangle. There a monitor's scale is the desktop's, not Qt's (which
// draws at a whole factor above a fractional one and lets the desktop
// shrink the picture). A Qt monitor without a partner keeps Qt's factor.
QList<ScreenPlace> PlaceScreensByLayout(const QList<QtScreen>& qt,
                                        const QList<platform::Platform::WindowScreen>& layout);

// The physical pixel under a logical global mouse position.
QPoint PhysicalPoint(const QList<ScreenPlace>& places, QPointF logicalGlobal,
                     std::optional<QPoint> pointer);

// A physical rectangle in the logical coordinates of a window that covers
// the monitor of place.
QRectF LocalRect(const ScreenPlace& place, const QRectF& physical);

} // namespace capture
