// A hidden window by which the program can be asked to end from outside:
// the installer and the uninstaller find it by its class and send it
// WM_CLOSE before they replace or remove the program (dist/windows).
#pragma once

#include "MessageWindow.h"

#include <windows.h>

#include <functional>

namespace platform {

inline constexpr wchar_t kEndRequestClass[] = L"TirelmaResident";

class EndRequestWindow {
public:
    // end runs from the event loop, after the message was answered.
    explicit EndRequestWindow(std::function<void()> end);
    ~EndRequestWindow();
    EndRequestWindow(const EndRequestWindow&) = delete;
    EndRequestWindow& operator=(const EndRequestWindow&) = delete;

    HWND handle() const { return window_.handle(); }

private:
    std::function<void()> end_;
    MessageWindow window_;
};

} // namespace platform
