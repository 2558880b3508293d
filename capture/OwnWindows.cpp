#include "OwnWindows.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
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
    // Other programs repaint what was under our windows meanwhile, and so do
    // we where it is ours (the notification-area icon); the user's input
    // waits until the windows are back.
    QEventLoop wait;
    QTimer repainted;
    repainted.setSingleShot(true);
    QObject::connect(&repainted, &QTimer::timeout, &wait, &QEventLoop::quit);
    repainted.start(platform.repaintMilliseconds());
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    grab();
    platform.restoreWindows(own);
    if (active) {
        active->raise();
        active->activateWindow();
    }
}

} // namespace capture
