// Windows: the running copy keeps a message-only window whose class names
// the key; a later start finds it and sends it one message. Qt's event loop
// hands the message to the window like any other of the thread.
#include "ShowRequests.h"

#include <QTimer>

#include <windows.h>

#include <chrono>
#include <thread>

namespace platform {

namespace {

constexpr UINT kShowMessage = WM_APP + 0x54; // "T"
constexpr LRESULT kTaken = 0x5449524C;       // "TIRL"

std::wstring ClassName(const QString& key) {
    return (QStringLiteral("TirelmaShowRequests-") + key).toStdWString();
}

LRESULT CALLBACK Receive(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == kShowMessage) {
        if (w > 1) return 0; // a request this copy does not know
        auto* onRequest = reinterpret_cast<std::function<void(Request)>*>(
            GetWindowLongPtrW(window, GWLP_USERDATA));
        // After the answer: the main window waits in a loop of its own.
        const Request request = w == 1 ? Request::Write : Request::Show;
        if (onRequest) QTimer::singleShot(0, [f = *onRequest, request] { f(request); });
        return kTaken;
    }
    return DefWindowProcW(window, message, w, l);
}

class WinShowListener : public ShowListener {
public:
    WinShowListener(std::wstring className, std::function<void(Request)> onRequest)
        : className_(std::move(className)), onRequest_(std::move(onRequest)) {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = Receive;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = className_.c_str();
        registered_ = RegisterClassExW(&c) != 0;
        if (!registered_) return;
        window_ = CreateWindowExW(0, className_.c_str(), L"Tirelma", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, c.hInstance, nullptr);
        if (window_)
            SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&onRequest_));
    }
    ~WinShowListener() override {
        if (window_) DestroyWindow(window_);
        if (registered_) UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
    }
    bool listening() const { return window_ != nullptr; }

private:
    std::wstring className_;
    std::function<void(Request)> onRequest_;
    bool registered_ = false;
    HWND window_ = nullptr;
};

} // namespace

std::unique_ptr<ShowListener> ListenForShowRequests(const QString& key,
                                                    std::function<void(Request)> onRequest) {
    auto listener = std::make_unique<WinShowListener>(ClassName(key), std::move(onRequest));
    if (!listener->listening()) return nullptr;
    return listener;
}

bool AskToShow(const QString& key, Request request, int waitMilliseconds) {
    const std::wstring name = ClassName(key);
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        if (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, name.c_str(), nullptr)) {
            DWORD_PTR answer = 0;
            const WPARAM kind = request == Request::Write ? 1 : 0;
            return SendMessageTimeoutW(window, kShowMessage, kind, 0, SMTO_ABORTIFHUNG, 5000,
                                       &answer) != 0 &&
                   answer == static_cast<DWORD_PTR>(kTaken);
        }
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace platform
