#include "Placement.h"

#include <algorithm>
#include <cmath>

namespace mainwin {

QRect BringOntoScreens(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty()) return frame;
    // The strip a user grabs to move the window must be reachable.
    const QRect grip(frame.left(), frame.top(), frame.width(), std::min(frame.height(), 24));
    for (const QRect& s : screens) {
        const QRect seen = s & grip;
        if (seen.width() >= std::min(48, grip.width()) &&
            seen.height() >= std::min(8, grip.height()))
            return frame;
    }
    // Onto the nearest screen, as close to where it was as fits.
    const QRect* best = &screens.front();
    double bestDistance = 1e300;
    for (const QRect& s : screens) {
        const double dx = s.center().x() - frame.center().x(),
                     dy = s.center().y() - frame.center().y();
        if (const double d = dx * dx + dy * dy; d < bestDistance) bestDistance = d, best = &s;
    }
    QRect moved = frame;
    moved.moveLeft(std::clamp(frame.left(), best->left(),
                              std::max(best->left(), best->right() - frame.width() + 1)));
    moved.moveTop(std::clamp(frame.top(), best->top(),
                             std::max(best->top(), best->bottom() - frame.height() + 1)));
    return moved;
}

} // namespace mainwin
