#include "WindowFit.h"

#include <algorithm>

namespace editor {

QSize FitEditor(const EditorFrame& frame, QSize view, int currentWidth, QSize limit) {
    const int wantW =
        std::max({currentWidth, frame.minimum.width(), view.width() + frame.sideWidth});
    const int wantH = std::max(frame.minimum.height(), frame.fixedHeight + view.height());
    int w = std::min(wantW, limit.width());
    int h = std::min(wantH, limit.height());
    // A bar across the bottom when the view is cut at the side, one down the
    // side when it is cut at the bottom; each takes room from the other way.
    bool across = false, down = false;
    for (int pass = 0; pass < 2; ++pass) {
        across = view.width() + frame.sideWidth + (down ? frame.bar : 0) > w;
        down = frame.fixedHeight + view.height() + (across ? frame.bar : 0) > h;
        if (across)
            h = std::min(limit.height(),
                         std::max(h, frame.fixedHeight + view.height() + frame.bar));
        if (down)
            w = std::min(limit.width(), std::max(w, view.width() + frame.sideWidth + frame.bar));
    }
    return {std::max(w, std::min(frame.minimum.width(), limit.width())),
            std::max(h, std::min(frame.minimum.height(), limit.height()))};
}

QPoint KeepOnScreen(QRect frame, const QRect& available) {
    if (frame.right() > available.right()) frame.moveRight(available.right());
    if (frame.bottom() > available.bottom()) frame.moveBottom(available.bottom());
    if (frame.left() < available.left()) frame.moveLeft(available.left());
    if (frame.top() < available.top()) frame.moveTop(available.top());
    return frame.topLeft();
}

} // namespace editor
