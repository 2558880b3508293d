// The drag on the full-screen overlay, without the window: press, moves and
// release of the left button in screen pixels, and the area they select.
//
// While dragging, the outline shown runs from the anchor to the corner of the
// previous move; each move then records its own corner. A release ignores its
// own position: the area runs from the anchor to the last corner recorded,
// whichever way the drag went. The right and bottom edges are not part of the
// area, so a click without movement selects nothing wide at the clicked point.
// The corners persist between uses, so a release without a press repeats the
// previous selection (the empty one at (0, 0) the first time).
#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

namespace capture {

class AreaSelector {
public:
    void press(QPoint p);
    // The outline to show now (corner of the previous move), while dragging.
    void move(QPoint p);
    // Orders the corners and returns the selected area.
    QRect release();

    bool dragging() const { return dragging_; }
    // The outline as two corners, inclusive: during a drag the dotted one,
    // after a release the solid one.
    QRect outline() const { return outline_; }

private:
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    bool dragging_ = false;
    QRect outline_;
};

} // namespace capture
