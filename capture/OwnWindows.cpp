#include "OwnWindows.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QToolTip>
#include <QWidget>

namespace capture {

QList<QWidget*> ShownOwnWindows() {
    QList<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->isMinimized() || w->windowType() == Qt::ToolTip) continue;
        // The notification area owns the icon's window (XEmbed).
        if (w->inherits("QSystemTrayIconSys")) continue;
        shown.append(w);
    }
    return shown;
}

void WithOwnWindowsAway(platform::Platform& platform, const std::function<void()>& grab) {
    QToolTip::hideText();
    const QList<QWidget*> own = ShownOwnWindows();
    if (own.isEmpty()) {
        grab();
        return;
    }
    const QPointer<QWidget> active = QApplication::activeWindow();
    platform.withdrawWindows(own);
    // Other programs repaint meanwhile; nothing of ours needs to run.
    QThread::msleep(static_cast<unsigned long>(platform.repaintMilliseconds()));
    grab();
    platform.restoreWindows(own);
    if (active) {
        active->raise();
        active->activateWindow();
    }
}

} // namespace capture
