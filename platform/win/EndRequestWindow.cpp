#include "EndRequestWindow.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform {

// A top-level window (a message-only one is invisible to FindWindow),
// never shown.
EndRequestWindow::EndRequestWindow(std::function<void()> end)
    : end_(std::move(end)), window_(
                                kEndRequestClass, L"Tirelma",
                                [this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
                                    if (message != WM_CLOSE) return std::nullopt;
                                    // Not from inside the message: the sender waits for the answer,
                                    // and ending runs through the event loop (a modal window may be
                                    // open).
                                    if (end_ && QCoreApplication::instance())
                                        QMetaObject::invokeMethod(QCoreApplication::instance(),
                                                                  end_, Qt::QueuedConnection);
                                    return 0;
                                },
                                MessageWindow::Kind::TopLevel) {}

EndRequestWindow::~EndRequestWindow() = default;

} // namespace platform
