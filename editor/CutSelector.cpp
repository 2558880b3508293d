#include "CutSelector.h"

namespace editor {

namespace {

QRectF Corners(const CutRect& c) {
    return QRectF(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2));
}

} // namespace

void CutSelector::press(QPointF p) {
    cut_.x1 = cut_.x2 = static_cast<float>(p.x());
    cut_.y1 = cut_.y2 = static_cast<float>(p.y());
}

void CutSelector::move(QPointF p) {
    outline_ = Corners(cut_);
    cut_.x2 = static_cast<float>(p.x());
    cut_.y2 = static_cast<float>(p.y());
}

CutSelector::Result CutSelector::release() {
    cut_ = FinishCut(cut_);
    outline_ = Corners(cut_);
    Result r;
    r.cut = cut_;
    r.w = (cut_.x2 - cut_.x1) / kCell;
    r.h = (cut_.y2 - cut_.y1) / kCell;
    r.accepted = CutSizeAcceptable(r.w, r.h);
    return r;
}

} // namespace editor
