#include "PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace editor {

PictureBox::PictureBox(Scale scale, QWidget* parent) : QWidget(parent), scale_(scale) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureBox::setImage(const QImage& image) {
    image_ = image;
    fitSize();
    update();
}

void PictureBox::fitSize() {
    if (scale_ == Scale::Widget) {
        resize(image_.size());
        return;
    }
    const double dpr = devicePixelRatioF();
    resize(static_cast<int>(std::ceil(image_.width() / dpr)),
           static_cast<int>(std::ceil(image_.height() / dpr)));
}

void PictureBox::setOutline(QRectF corners, bool dotted) {
    outline_ = corners;
    dotted_ = dotted;
    update();
}

void PictureBox::clearOutline() {
    outline_.reset();
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!image_.isNull()) {
        if (scale_ == Scale::Physical) {
            QImage shown = image_;
            shown.setDevicePixelRatio(devicePixelRatioF());
            p.drawImage(QPointF(0, 0), shown);
        } else {
            p.drawImage(QPointF(0, 0), image_);
        }
    }
    if (outline_) {
        QPen pen(Qt::black, 0, dotted_ ? Qt::DotLine : Qt::SolidLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const QRectF r = outline_->normalized();
        p.drawRect(r);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->position());
}

void PictureBox::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMove(e->buttons(), e->position());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseUp(e->button(), e->position());
}

} // namespace editor
