// The full-screen overlay on which the user drags a new area over a still
// picture of the screen.
//
// Opening puts a picture of the primary screen on the clipboard (FullScrCap)
// and shows the clipboard's picture, one picture pixel per physical screen
// pixel. The mouse arrives in logical pixels; physical = logical x device
// pixel ratio, so the area handed back is in physical screen pixels at any
// scale factor. A release of the left button ends the overlay with the area
// and its pixels taken from the still picture; Esc ends it with nothing.
#pragma once

#include "AreaSelector.h"
#include "Platform.h"

#include <QDialog>
#include <QImage>

namespace capture {

struct CapResult {
    enum class Kind { Selected, Cancelled, NoPicture };
    Kind kind = Kind::Cancelled;
    QRect area;   // left, top, width, height in physical screen pixels
    QImage image; // the area's pixels, area.size() (null for an empty area)
};

class frmCap : public QDialog {
    Q_OBJECT
public:
    frmCap(platform::Platform& platform, QWidget* parent = nullptr);

    // Opens the overlay modally and waits. NoPicture when the clipboard held
    // no picture after the grab: the overlay then does not open at all.
    CapResult run();

    const AreaSelector& selector() const { return selector_; }

    void Form_Load();
    void Picture1_MouseDown(Qt::MouseButton button, QPointF pos);
    void Picture1_MouseMove(Qt::MouseButtons buttons, QPointF pos);
    void Picture1_MouseUp(Qt::MouseButton button, QPointF pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // A widget position as a pixel of the still picture.
    QPoint physical(QPointF pos) const;

    platform::Platform& platform_;
    QImage picture_;
    AreaSelector selector_;
    CapResult result_;
};

} // namespace capture
