// The magnified two-level view (picBig) inside a scroll area: every area
// pixel a cell of 10 x 10 widget pixels, drawn from the two-level image as it
// is exposed (no magnified copy is kept). Positions are the view's own
// pixels, scrolled or not. A drag that leaves the visible part scrolls it.
//
// On top of the image: the cut being made or made (one-pixel black outline,
// dotted while dragging), the cuts that teaching the whole line would make,
// and the places the reading check marks.
#pragma once

#include <QColor>
#include <QImage>
#include <QScrollArea>

#include <optional>
#include <vector>

namespace editor {

class MagnifiedCanvas;

class MagnifiedView : public QScrollArea {
    Q_OBJECT
public:
    explicit MagnifiedView(QWidget* parent);

    // Shows the two-level image; the view becomes 10 times its size. The
    // cut outline is erased, as by any repaint of the image.
    void setImage(const QImage& twoLevel);
    const QImage& image() const;
    // The picture as it is shown, every pixel a 10 x 10 cell.
    QImage magnified() const;
    // The shown colour at a view position (0x00BBGGRR), -1 outside.
    std::int32_t colourAt(double x, double y) const;

    QWidget* canvas() const;

    // Scrolls so that the area rectangle (in area pixels) shows: from its
    // left, and centred from top to bottom when it fits.
    void bringIntoView(const QRect& area);

    // The window gives the view what room is left: it asks for none.
    QSize minimumSizeHint() const override { return {0, 0}; }
    QSize sizeHint() const override { return {0, 0}; }

    void setOutline(QRectF corners, bool dotted);
    void clearOutline();
    bool hasOutline() const;
    QRectF outline() const;

    // Frames in area pixels, each with a label drawn at its top-left.
    struct Frame {
        QRect area;
        QString label;
        QColor colour;
    };
    void setFrames(std::vector<Frame> frames);
    const std::vector<Frame>& frames() const;

signals:
    void mouseDown(Qt::MouseButton button, QPointF pos);
    void mouseMove(Qt::MouseButtons buttons, QPointF pos);
    void mouseUp(Qt::MouseButton button, QPointF pos);

private:
    MagnifiedCanvas* canvas_;
};

} // namespace editor
