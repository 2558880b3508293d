#include "AreaSelector.h"

#include <utility>

namespace capture {

void AreaSelector::press(QPoint p) {
    x1_ = x2_ = p.x();
    y1_ = y2_ = p.y();
    dragging_ = true;
    outline_ = QRect();
}

void AreaSelector::move(QPoint p) {
    outline_ = QRect(QPoint(x1_, y1_), QPoint(x2_, y2_)).normalized();
    x2_ = p.x();
    y2_ = p.y();
}

QRect AreaSelector::release() {
    dragging_ = false;
    if (x1_ > x2_) std::swap(x1_, x2_);
    if (y1_ > y2_) std::swap(y1_, y2_);
    outline_ = QRect(QPoint(x1_, y1_), QPoint(x2_, y2_));
    return QRect(x1_, y1_, x2_ - x1_, y2_ - y1_);
}

} // namespace capture
