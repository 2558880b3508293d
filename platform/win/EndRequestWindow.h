// A hidden window by which the program can be asked to end from outside:
// the installer and the uninstaller find it by its class and send it
// WM_CLOSE before they replace or remove the program (dist/windows).
#pragma once

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

    HWND handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l);

    std::function<void()> end_;
    HWND hwnd_ = nullptr;
};

} // namespace platform
