// The full-screen overlay on which the user drags a new area over a still
// picture of the screen.
//
// Opening takes the program's own windows off the screen, puts a picture of
// the whole desktop on the clipboard (FullScrCap) and covers every monitor
// with its part of the clipboard's picture, one picture pixel per physical
// screen pixel; the overlay window itself covers the primary monitor, and a
// panel window of its own each of the others. Mouse positions become
// physical desktop pixels by the rules of ScreenMap.h, so the area handed
// back is the rectangle ScrCap reads, on any monitor and at any scale
// factor. A release of the left button ends the overlay with the area and
// its pixels taken from the still picture; Esc ends it with nothing.
#pragma once

#include "AreaSelector.h"
#include "Platform.h"
#include "ScreenMap.h"

#include <QDialog>
#include <QHash>
#include <QImage>

#include <memory>
#include <vector>

class QMouseEvent;
class QPainter;

namespace capture {

struct CapResult {
    enum class Kind { Selected, Cancelled, NoPicture };
    Kind kind = Kind::Cancelled;
    QRect area;   // left, top, width, height in physical desktop pixels
    QImage image; // the area's pixels, area.size() (null for an empty area)
    QString why;  // NoPicture: why the screen gave no picture, when it said
};

class CapPanel;

class frmCap : public QDialog {
    Q_OBJECT
public:
    frmCap(platform::Platform& platform, QWidget* parent = nullptr);
    ~frmCap() override;

    // Opens the overlay modally and waits. NoPicture when the screen could
    // not be read, or the clipboard held no picture after the grab: the
    // overlay then does not open at all.
    CapResult run();

    const AreaSelector& selector() const { return selector_; }
    // The windows covering the other monitors while the overlay is open.
    QList<QWidget*> panels() const;

    // Positions are Qt's global mouse positions.
    void Form_Load();
    void Picture1_MouseDown(Qt::MouseButton button, QPointF globalPos);
    void Picture1_MouseMove(Qt::MouseButtons buttons, QPointF globalPos);
    void Picture1_MouseUp(Qt::MouseButton button, QPointF globalPos);
    void Form_KeyDown(int key);

    // Paints one monitor's part of the still picture and of the outline.
    void paintScreen(QPainter& p, const ScreenPlace& place) const;

    // Qt's global position of a mouse event in the window covering place.
    QPointF globalPosition(const ScreenPlace& place, const QMouseEvent& e) const;

    // Where windows do not know their place (Wayland), the mouse as the
    // window gets it, before Qt rounds it to whole logical pixels for the
    // widget: at a scale above 1 that fraction is a physical pixel.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void watchExactMouse(QWidget* window, const ScreenPlace& place);

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // A mouse position as a pixel of the desktop, inside the still picture.
    QPoint physical(QPointF globalPos);
    void placeWindows();
    void updateAll();

    platform::Platform& platform_;
    QImage picture_;
    QString grabProblem_;
    QRect desktop_; // where the still picture lies on the desktop
    QList<ScreenPlace> places_;
    // Windows do not know where they are (Wayland): positions come from the
    // monitor each covers.
    bool placedByDesktop_ = false;
    QHash<QObject*, ScreenPlace> exactMouse_; // windows watched, and where they are
    ScreenPlace primary_;
    std::vector<std::unique_ptr<CapPanel>> panels_;
    AreaSelector selector_;
    CapResult result_;
};

} // namespace capture
