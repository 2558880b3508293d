#include "MessageWindow.h"

namespace platform {

MessageWindow::MessageWindow(std::wstring className, const wchar_t* title, Handler handle,
                             Kind kind, bool ownClass)
    : className_(std::move(className)), handle_(std::move(handle)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &MessageWindow::Proc;
    wc.hInstance = instance;
    wc.lpszClassName = className_.c_str();
    // A shared class: a second registration fails harmlessly.
    const bool registered = RegisterClassExW(&wc) != 0;
    if (ownClass && !registered) return;
    ownClass_ = ownClass;
    hwnd_ = kind == Kind::TopLevel
                ? CreateWindowExW(WS_EX_TOOLWINDOW, className_.c_str(), title, WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr)
                : CreateWindowExW(0, className_.c_str(), title, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, instance, nullptr);
    if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageWindow::~MessageWindow() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (ownClass_) UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
}

LRESULT CALLBACK MessageWindow::Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    // Nothing reaches the owner before the window is its (WM_CREATE) or
    // after it let go.
    if (auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        self && self->handle_)
        if (const std::optional<LRESULT> answer = self->handle_(message, w, l)) return *answer;
    return DefWindowProcW(hwnd, message, w, l);
}

} // namespace platform
