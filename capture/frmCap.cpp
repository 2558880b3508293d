#include "frmCap.h"

#include "OwnWindows.h"
#include "PlatformCommon.h"
#include "ScreenGrab.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace capture {

// The overlay on one monitor other than the primary one: it paints that
// monitor's part and hands every event to the overlay. A child of the modal
// overlay, so that the modality does not shut it out.
class CapPanel : public QWidget {
public:
    CapPanel(frmCap& owner, const ScreenPlace& place, QScreen* screen)
        : QWidget(&owner, Qt::Window | Qt::FramelessWindowHint), owner_(owner), place_(place) {
        setObjectName(QStringLiteral("frmCapPanel"));
        setCursor(Qt::CrossCursor);
        setScreen(screen);
        setGeometry(place.logical);
        setWindowState(Qt::WindowFullScreen);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        owner_.paintScreen(p, place_);
    }
    void keyPressEvent(QKeyEvent* e) override { owner_.Form_KeyDown(e->key()); }
    void mousePressEvent(QMouseEvent* e) override {
        owner_.Picture1_MouseDown(e->button(), owner_.globalPosition(place_, *e));
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        owner_.Picture1_MouseMove(e->buttons(), owner_.globalPosition(place_, *e));
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        owner_.Picture1_MouseUp(e->button(), owner_.globalPosition(place_, *e));
    }

public:
    const ScreenPlace& place() const { return place_; }

private:
    frmCap& owner_;
    ScreenPlace place_;
};

frmCap::frmCap(platform::Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), platform_(platform) {
    setObjectName(QStringLiteral("frmCap"));
    setCursor(Qt::CrossCursor);
}

frmCap::~frmCap() = default;

void frmCap::Form_Load() {
    // The still picture shows the screen as it is under the program's windows.
    grabProblem_.clear();
    WithOwnWindowsAway(platform_, [this] { grabProblem_ = FullScrCap(platform_); });
    // A screen that could not be read is not stood in for by whatever
    // picture the clipboard held before.
    picture_ = grabProblem_.isEmpty()
                   ? platform_.clipboardImage().convertToFormat(QImage::Format_RGB32)
                   : QImage();
    desktop_ = QRect(platform::Bounds(platform_.screens()).topLeft(), picture_.size());
}

CapResult frmCap::run() {
    Form_Load();
    if (picture_.isNull()) return CapResult{CapResult::Kind::NoPicture, {}, {}, grabProblem_};
    result_ = CapResult{};
    placeWindows();
    platform_.setTopMost(this, true);
    exec();
    panels_.clear();
    picture_ = QImage(); // the clipboard keeps the picture; the overlay need not
    return result_;
}

void frmCap::placeWindows() {
    QList<QtScreen> qt;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* s : screens)
        qt.append(QtScreen{s->geometry(), s->devicePixelRatio(), s->name()});
    QScreen* primary = QGuiApplication::primaryScreen();
    const QList<platform::Platform::WindowScreen> layout = platform_.windowLayout();
    placedByDesktop_ = !layout.isEmpty();
    places_ = layout.isEmpty()
                  ? PlaceScreens(qt, primary ? primary->geometry() : QRect(), platform_.screens())
                  : PlaceScreensByLayout(qt, layout);
    panels_.clear();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        if (screens[i] == primary) {
            primary_ = places_[i];
            continue;
        }
        panels_.push_back(std::make_unique<CapPanel>(*this, places_[i], screens[i]));
        platform_.setTopMost(panels_.back().get(), true);
    }
    if (primary) {
        setScreen(primary);
        setGeometry(primary->geometry());
    }
    setWindowState(Qt::WindowFullScreen);
}

QList<QWidget*> frmCap::panels() const {
    QList<QWidget*> out;
    for (const auto& p : panels_)
        out.append(p.get());
    return out;
}

QPoint frmCap::physical(QPointF globalPos) {
    const QPoint p = PhysicalPoint(places_, globalPos, platform_.pointerPosition());
    // Nothing beyond the still picture can be selected.
    return QPoint(std::clamp(p.x(), desktop_.left(), desktop_.left() + desktop_.width()),
                  std::clamp(p.y(), desktop_.top(), desktop_.top() + desktop_.height()));
}

void frmCap::Picture1_MouseDown(Qt::MouseButton button, QPointF globalPos) {
    if (button != Qt::LeftButton) return;
    selector_.press(physical(globalPos));
}

void frmCap::Picture1_MouseMove(Qt::MouseButtons buttons, QPointF globalPos) {
    if (!(buttons & Qt::LeftButton)) return;
    selector_.move(physical(globalPos));
    updateAll();
}

void frmCap::Picture1_MouseUp(Qt::MouseButton button, QPointF) {
    if (button != Qt::LeftButton) return;
    const QRect area = selector_.release();
    updateAll();
    result_.kind = CapResult::Kind::Selected;
    result_.area = area;
    // From the still picture, not the live screen, and without the outline.
    // (copy() of an empty rectangle would give the whole picture.)
    result_.image = area.isEmpty() ? QImage() : picture_.copy(area.translated(-desktop_.topLeft()));
    accept();
}

void frmCap::Form_KeyDown(int key) {
    // Only Esc acts; Enter and the rest are ignored.
    if (key == Qt::Key_Escape) {
        result_ = CapResult{CapResult::Kind::Cancelled, {}, {}, {}};
        reject();
    }
}

void frmCap::updateAll() {
    update();
    for (const auto& p : panels_)
        p->update();
}

void frmCap::paintScreen(QPainter& p, const ScreenPlace& place) const {
    const double dpr = place.ratio > 0 ? place.ratio : 1.0;
    if (!picture_.isNull()) {
        QImage shown = picture_.copy(place.physical.translated(-desktop_.topLeft()));
        shown.setDevicePixelRatio(dpr);
        p.drawImage(QPointF(0, 0), shown);
    }
    const QRect o = selector_.outline();
    if (o.isNull()) return;
    p.setPen(QPen(Qt::black, 0, selector_.dragging() ? Qt::DotLine : Qt::SolidLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(LocalRect(place, QRectF(o.left(), o.top(), o.width() - 1, o.height() - 1)));
}

void frmCap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintScreen(p, primary_);
}

void frmCap::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    exactMouse_.clear();
    watchExactMouse(this, primary_);
    for (const auto& p : panels_) {
        p->show();
        watchExactMouse(p.get(), p->place());
    }
    // Esc must reach the overlay at once, without a click first.
    raise();
    activateWindow();
}

void frmCap::hideEvent(QHideEvent* e) {
    for (const auto& p : panels_)
        p->hide();
    QDialog::hideEvent(e);
}

void frmCap::keyPressEvent(QKeyEvent* e) {
    Form_KeyDown(e->key());
}

void frmCap::watchExactMouse(QWidget* window, const ScreenPlace& place) {
    if (!placedByDesktop_ || !window->windowHandle()) return;
    window->windowHandle()->installEventFilter(this);
    exactMouse_.insert(window->windowHandle(), place);
}

bool frmCap::eventFilter(QObject* watched, QEvent* e) {
    const auto type = e->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, e);
    const auto place = exactMouse_.constFind(watched);
    if (place == exactMouse_.cend()) return QDialog::eventFilter(watched, e);
    const auto* m = static_cast<QMouseEvent*>(e);
    const QPointF global = QPointF(place->logical.topLeft()) + m->position();
    if (type == QEvent::MouseButtonPress)
        Picture1_MouseDown(m->button(), global);
    else if (type == QEvent::MouseMove)
        Picture1_MouseMove(m->buttons(), global);
    else
        Picture1_MouseUp(m->button(), global);
    return true; // the widgets never see it rounded
}

QPointF frmCap::globalPosition(const ScreenPlace& place, const QMouseEvent& e) const {
    // A full-screen window's own position is its monitor's.
    return placedByDesktop_ ? QPointF(place.logical.topLeft()) + e.position() : e.globalPosition();
}

void frmCap::mousePressEvent(QMouseEvent* e) {
    Picture1_MouseDown(e->button(), globalPosition(primary_, *e));
}

void frmCap::mouseMoveEvent(QMouseEvent* e) {
    Picture1_MouseMove(e->buttons(), globalPosition(primary_, *e));
}

void frmCap::mouseReleaseEvent(QMouseEvent* e) {
    Picture1_MouseUp(e->button(), globalPosition(primary_, *e));
}

} // namespace capture
