// The cut drag on the magnified view, without the window: press, moves and
// release of the left button in magnified-view pixels, and the cut they make.
//
// While dragging, the outline shown runs from the anchor to the corner of the
// previous move; each move then records its own corner. A release ignores its
// own position: the corners are ordered and each edge snapped to the cell
// grid (KyoukaiChk), and the size in cells is tested. The corners persist
// between drags, so a release without a press finishes the last cut again.
#pragma once

#include "EditorLogic.h"

#include <QPointF>
#include <QRectF>

namespace editor {

class CutSelector {
public:
    struct Result {
        CutRect cut;        // snapped: left, top, right, bottom
        float w = 0, h = 0; // in cells
        bool accepted = false;
    };

    void press(QPointF p);
    void move(QPointF p);
    Result release();

    // The cut as it stands: anchor and moving corner while dragging, the
    // snapped edges after a release.
    const CutRect& cut() const { return cut_; }
    // The outline to show: after a move the dotted one, after a release the
    // snapped one.
    QRectF outline() const { return outline_; }

private:
    CutRect cut_;
    QRectF outline_;
};

} // namespace editor
