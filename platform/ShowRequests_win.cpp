// Windows: the running copy keeps a message-only window whose class names
// the key; a later start finds it and sends it one message. Qt's event loop
// hands the message to the window like any other of the thread.
#include "ShowRequests.h"
#include "win/MessageWindow.h"

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

class WinShowListener : public ShowListener {
public:
    // The class is this copy's alone: a second listener of the key in the
    // same process gets no window.
    WinShowListener(const std::wstring& className, std::function<void(Request)> onRequest)
        : onRequest_(std::move(onRequest)),
          window_(
              className, L"Tirelma",
              [this](UINT message, WPARAM w, LPARAM) -> std::optional<LRESULT> {
                  if (message != kShowMessage) return std::nullopt;
                  if (w > 1) return 0; // a request this copy does not know
                  // After the answer: the main window waits in a loop of its own.
                  const Request request = w == 1 ? Request::Write : Request::Show;
                  QTimer::singleShot(0, [f = onRequest_, request] { f(request); });
                  return kTaken;
              },
              MessageWindow::Kind::MessageOnly, /*ownClass=*/true) {}
    bool listening() const { return window_.handle() != nullptr; }

private:
    std::function<void(Request)> onRequest_;
    MessageWindow window_;
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
