// The program's global shortcuts on Windows: RegisterHotKey on a hidden
// message-only window, whose WM_HOTKEY runs the shortcut's function.
#pragma once

#include "Platform.h"

#include <windows.h>

#include <functional>
#include <map>

namespace platform {

class HotkeyWindow {
public:
    HotkeyWindow();
    ~HotkeyWindow();
    HotkeyWindow(const HotkeyWindow&) = delete;
    HotkeyWindow& operator=(const HotkeyWindow&) = delete;

    Platform::Hotkey take(int id, QKeyCombination key, std::function<void()> onPressed);
    void release(int id);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l);

    struct Held {
        UINT mods = 0, vk = 0;
        std::function<void()> onPressed;
    };
    HWND hwnd_ = nullptr;
    std::map<int, Held> held_;
};

// The virtual key of a Qt key; 0 for one not taken this way.
UINT VirtualKeyOf(Qt::Key key);

} // namespace platform
