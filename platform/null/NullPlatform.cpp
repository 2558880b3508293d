// A desktop that gives no screen copy and no global key state (Wayland, a
// headless run): the screen reads as white and Alt is never down, and the
// program says why.
#include "PlatformCommon.h"

#include <QWidget>

namespace platform {

namespace {

class NullPlatform : public PlatformCommon {
public:
    explicit NullPlatform(QString why) : why_(std::move(why)) {}
    QList<QImage> grabScreens(const QList<QRect>& rects) override {
        return CutRects(QImage(), QPoint(), rects, {});
    }
    QList<QRect> screens() override { return {}; }
    std::optional<QPoint> pointerPosition() override { return std::nullopt; }
    KeyboardState keyboard() override { return {}; }
    void setTopMost(QWidget* window, bool topMost) override {
        if (window && !window->isVisible())
            window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    }
    bool trayActivatesOnSingleClick() override { return false; }
    void withdrawWindows(const QList<QWidget*>&) override {}
    void restoreWindows(const QList<QWidget*>&) override {}
    int repaintMilliseconds() override { return 0; }
    QString limitation() override { return why_; }

private:
    QString why_;
};

} // namespace

std::unique_ptr<Platform> CreateNullPlatform(const QString& why) {
    return std::make_unique<NullPlatform>(why);
}

} // namespace platform
