// How large the editor may be: it grows with the magnified view, as the
// magnified display asks, but never beyond the room its screen has; beyond
// that the view scrolls inside the window.
#pragma once

#include <QRect>
#include <QSize>

namespace editor {

struct EditorFrame {
    QSize minimum;       // the smallest inside size the controls need
    int fixedHeight = 0; // the inside height when the view shows nothing
    int sideWidth = 0;   // the inside width not given to the view
    int bar = 0;         // a scroll bar's thickness
};

// The inside size for a view of the given size: as wide as the view needs
// (never narrower than currentWidth), as high as the controls and the view;
// within limit, scroll bars counted where the view no longer fits.
QSize FitEditor(const EditorFrame& frame, QSize view, int currentWidth, QSize limit);

// Where a window whose frame is frameSize goes so that all of it is in
// available: moved as little as possible from where it is.
QPoint KeepOnScreen(QRect frame, const QRect& available);

} // namespace editor
