#include "PictureBox.h"

#include <QPainter>

#include <cmath>

namespace editor {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PictureBox::setImage(const QImage& image) {
    image_ = image;
    resize(shownSize());
    updateGeometry();
    update();
}

void PictureBox::setLargestShown(QSize size) {
    largest_ = size;
    resize(shownSize());
    updateGeometry();
}

QSize PictureBox::naturalSize() const {
    const double dpr = devicePixelRatioF();
    return {static_cast<int>(std::ceil(image_.width() / dpr)),
            static_cast<int>(std::ceil(image_.height() / dpr))};
}

QSize PictureBox::shownSize() const {
    const QSize s = naturalSize();
    if (!largest_.isValid() || (s.width() <= largest_.width() && s.height() <= largest_.height()))
        return s;
    return s.scaled(largest_, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QSize PictureBox::sizeHint() const {
    return shownSize();
}

QSize PictureBox::minimumSizeHint() const {
    return shownSize();
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter p(this);
    if (size() == naturalSize()) {
        QImage shown = image_;
        shown.setDevicePixelRatio(devicePixelRatioF());
        p.drawImage(QPointF(0, 0), shown);
    } else {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), image_);
    }
}

} // namespace editor
