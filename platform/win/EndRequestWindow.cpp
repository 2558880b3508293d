#include "EndRequestWindow.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform {

EndRequestWindow::EndRequestWindow(std::function<void()> end) : end_(std::move(end)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &EndRequestWindow::Proc;
    wc.hInstance = instance;
    wc.lpszClassName = kEndRequestClass;
    // A second registration fails harmlessly: the class is already there.
    RegisterClassExW(&wc);
    // A top-level window (a message-only one is invisible to FindWindow),
    // never shown.
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kEndRequestClass, L"Tirelma", WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr, instance, nullptr);
    if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

EndRequestWindow::~EndRequestWindow() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK EndRequestWindow::Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) {
        auto* self = reinterpret_cast<EndRequestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        // Not from inside the message: the sender waits for the answer, and
        // ending runs through the event loop (a modal window may be open).
        if (self && self->end_ && QCoreApplication::instance())
            QMetaObject::invokeMethod(QCoreApplication::instance(), self->end_,
                                      Qt::QueuedConnection);
        return 0;
    }
    return DefWindowProcW(hwnd, message, w, l);
}

} // namespace platform
