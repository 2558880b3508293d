// A picture control of the editor: shows one image, can carry an outline on
// top of it, and reports the mouse in its own pixels.
#pragma once

#include <QImage>
#include <QWidget>

#include <optional>

namespace editor {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    // How image pixels meet the screen: one per physical screen pixel (the
    // captured area and its two-level copy), or one per widget pixel (the
    // magnified view, which is the editor's own drawing).
    enum class Scale { Physical, Widget };

    PictureBox(Scale scale, QWidget* parent);

    // Shows image and makes the control exactly its size.
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

    // A one-pixel black outline through the corner pixels (x1, y1) and
    // (x2, y2), dotted or solid; nothing clears it.
    void setOutline(QRectF corners, bool dotted);
    void clearOutline();
    bool hasOutline() const { return outline_.has_value(); }
    QRectF outline() const { return outline_.value_or(QRectF()); }

signals:
    void mouseDown(Qt::MouseButton button, QPointF pos);
    void mouseMove(Qt::MouseButtons buttons, QPointF pos);
    void mouseUp(Qt::MouseButton button, QPointF pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void fitSize();

    Scale scale_;
    QImage image_;
    std::optional<QRectF> outline_;
    bool dotted_ = false;
};

} // namespace editor
