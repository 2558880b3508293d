// A picture control of the editor: the captured area or its two-level copy,
// one image pixel per physical screen pixel. An image larger than the
// largest shown size is shown made smaller; the image itself stays whole.
#pragma once

#include <QImage>
#include <QWidget>

namespace editor {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent);

    // Shows image; the control takes the size it is shown at.
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    void setLargestShown(QSize size);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QSize naturalSize() const; // one image pixel per screen pixel
    QSize shownSize() const;

    QImage image_;
    QSize largest_;
};

} // namespace editor
