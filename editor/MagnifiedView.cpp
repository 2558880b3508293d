#include "MagnifiedView.h"

#include "EditorLogic.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace editor {

class MagnifiedCanvas : public QWidget {
public:
    explicit MagnifiedCanvas(MagnifiedView* view) : QWidget(nullptr), view_(view) {
        setObjectName(QStringLiteral("picBig"));
        setAccessibleName(QStringLiteral("拡大画像"));
    }

    QImage image;
    std::optional<QRectF> outline;
    bool dotted = false;
    std::vector<MagnifiedView::Frame> frames;

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        const QRect exposed = e->rect();
        // Only the cells that are exposed, each pixel a kCell block.
        const int x0 = std::max(0, exposed.left() / kCell);
        const int y0 = std::max(0, exposed.top() / kCell);
        const int x1 = std::min(image.width() - 1, exposed.right() / kCell);
        const int y1 = std::min(image.height() - 1, exposed.bottom() / kCell);
        if (x1 >= x0 && y1 >= y0)
            p.drawImage(QRect(x0 * kCell, y0 * kCell, (x1 - x0 + 1) * kCell, (y1 - y0 + 1) * kCell),
                        image, QRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1));
        for (const auto& f : frames) {
            const QRect r(f.area.left() * kCell, f.area.top() * kCell, f.area.width() * kCell,
                          f.area.height() * kCell);
            p.setPen(QPen(f.colour, 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(1, 1, -1, -1));
            if (!f.label.isEmpty()) {
                const QRect text = p.fontMetrics().boundingRect(f.label).adjusted(-2, 0, 2, 0);
                const QRect box(r.topLeft() + QPoint(2, 2), text.size());
                p.fillRect(box, QColor(255, 255, 255, 220));
                p.setPen(f.colour);
                p.drawText(box, Qt::AlignCenter, f.label);
            }
        }
        if (outline) {
            p.setPen(QPen(Qt::black, 0, dotted ? Qt::DotLine : Qt::SolidLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(outline->normalized());
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        emit view_->mouseDown(e->button(), e->position());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        // Dragging past the visible part brings more of the picture in.
        if (e->buttons() & Qt::LeftButton)
            view_->ensureVisible(static_cast<int>(e->position().x()),
                                 static_cast<int>(e->position().y()), kCell, kCell);
        emit view_->mouseMove(e->buttons(), e->position());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        emit view_->mouseUp(e->button(), e->position());
    }

private:
    MagnifiedView* view_;
};

MagnifiedView::MagnifiedView(QWidget* parent)
    : QScrollArea(parent), canvas_(new MagnifiedCanvas(this)) {
    setObjectName(QStringLiteral("scrBig"));
    setWidget(canvas_);
    // "Resizable", the canvas held at its fixed size: the scroll area then
    // weighs its room without scroll bars first, and shows none that only
    // the other bar would make necessary.
    setWidgetResizable(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    canvas_->setFixedSize(0, 0);
}

void MagnifiedView::setImage(const QImage& twoLevel) {
    canvas_->image = twoLevel.convertToFormat(QImage::Format_RGB32);
    canvas_->outline.reset();
    canvas_->setFixedSize(twoLevel.width() * kCell, twoLevel.height() * kCell);
    canvas_->update();
}

const QImage& MagnifiedView::image() const {
    return canvas_->image;
}

QImage MagnifiedView::magnified() const {
    return Magnify(canvas_->image, kCell);
}

std::int32_t MagnifiedView::colourAt(double x, double y) const {
    return PictureColour(canvas_->image, static_cast<long long>(std::floor(x / kCell)),
                         static_cast<long long>(std::floor(y / kCell)));
}

void MagnifiedView::bringIntoView(const QRect& area) {
    const QRect r(area.left() * kCell, area.top() * kCell, area.width() * kCell,
                  area.height() * kCell);
    const int shown = viewport()->height();
    verticalScrollBar()->setValue(r.height() <= shown ? r.center().y() - shown / 2 : r.top());
    horizontalScrollBar()->setValue(r.left() - kCell);
}

QWidget* MagnifiedView::canvas() const {
    return canvas_;
}

void MagnifiedView::setOutline(QRectF corners, bool dotted) {
    canvas_->outline = corners;
    canvas_->dotted = dotted;
    canvas_->update();
}

void MagnifiedView::clearOutline() {
    canvas_->outline.reset();
    canvas_->update();
}

bool MagnifiedView::hasOutline() const {
    return canvas_->outline.has_value();
}

QRectF MagnifiedView::outline() const {
    return canvas_->outline.value_or(QRectF());
}

void MagnifiedView::setFrames(std::vector<Frame> frames) {
    canvas_->frames = std::move(frames);
    canvas_->update();
}

const std::vector<MagnifiedView::Frame>& MagnifiedView::frames() const {
    return canvas_->frames;
}

} // namespace editor
