#include "frmCap.h"

#include "ScreenGrab.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace capture {

frmCap::frmCap(platform::Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), platform_(platform) {
    setObjectName(QStringLiteral("frmCap"));
    setCursor(Qt::CrossCursor);
}

void frmCap::Form_Load() {
    FullScrCap(platform_);
    picture_ = platform_.clipboardImage().convertToFormat(QImage::Format_RGB32);
}

CapResult frmCap::run() {
    Form_Load();
    if (picture_.isNull()) return CapResult{CapResult::Kind::NoPicture, {}, {}};
    result_ = CapResult{};
    if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
    setWindowState(Qt::WindowFullScreen);
    platform_.setTopMost(this, true);
    exec();
    picture_ = QImage(); // the clipboard keeps the picture; the overlay need not
    return result_;
}

QPoint frmCap::physical(QPointF pos) const {
    const double dpr = devicePixelRatioF();
    const int x = static_cast<int>(std::lround(pos.x() * dpr));
    const int y = static_cast<int>(std::lround(pos.y() * dpr));
    // The still picture covers the primary screen; nothing beyond it can be selected.
    return QPoint(std::clamp(x, 0, picture_.width()), std::clamp(y, 0, picture_.height()));
}

void frmCap::Picture1_MouseDown(Qt::MouseButton button, QPointF pos) {
    if (button != Qt::LeftButton) return;
    selector_.press(physical(pos));
}

void frmCap::Picture1_MouseMove(Qt::MouseButtons buttons, QPointF pos) {
    if (!(buttons & Qt::LeftButton)) return;
    selector_.move(physical(pos));
    update();
}

void frmCap::Picture1_MouseUp(Qt::MouseButton button, QPointF) {
    if (button != Qt::LeftButton) return;
    const QRect area = selector_.release();
    update();
    result_.kind = CapResult::Kind::Selected;
    result_.area = area;
    // From the still picture, not the live screen, and without the outline.
    // (copy() of an empty rectangle would give the whole picture.)
    result_.image = area.isEmpty() ? QImage() : picture_.copy(area);
    accept();
}

void frmCap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const double dpr = devicePixelRatioF();
    if (!picture_.isNull()) {
        QImage shown = picture_;
        shown.setDevicePixelRatio(dpr);
        p.drawImage(QPointF(0, 0), shown);
    }
    const QRect o = selector_.outline();
    if (o.isNull()) return;
    p.setPen(QPen(Qt::black, 0, selector_.dragging() ? Qt::DotLine : Qt::SolidLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(
        QRectF(o.left() / dpr, o.top() / dpr, (o.width() - 1) / dpr, (o.height() - 1) / dpr));
}

void frmCap::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Esc must reach the overlay at once, without a click first.
    raise();
    activateWindow();
}

void frmCap::keyPressEvent(QKeyEvent* e) {
    // Only Esc acts; Enter and the rest are ignored.
    if (e->key() == Qt::Key_Escape) {
        result_ = CapResult{CapResult::Kind::Cancelled, {}, {}};
        reject();
    }
}

void frmCap::mousePressEvent(QMouseEvent* e) {
    Picture1_MouseDown(e->button(), e->position());
}

void frmCap::mouseMoveEvent(QMouseEvent* e) {
    Picture1_MouseMove(e->buttons(), e->position());
}

void frmCap::mouseReleaseEvent(QMouseEvent* e) {
    Picture1_MouseUp(e->button(), e->position());
}

} // namespace capture
