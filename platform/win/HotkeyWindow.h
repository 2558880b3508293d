// The program's global shortcuts on Windows: RegisterHotKey on a hidden
// message-only window, whose WM_HOTKEY runs the shortcut's function.
#pragma once

#include "MessageWindow.h"
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
    struct Held {
        UINT mods = 0, vk = 0;
        std::function<void()> onPressed;
    };
    std::map<int, Held> held_;
    MessageWindow window_;
    HWND hwnd_ = nullptr;
};

// The virtual key of a Qt key; 0 for one not taken this way.
UINT VirtualKeyOf(Qt::Key key);

} // namespace platform
