// A hidden message-only window that hears every key and mouse button of the
// desktop as it happens, through raw input registered with RIDEV_INPUTSINK:
// the system hands the program a copy of each key event whichever program
// has the focus, and nothing is taken from that program. (A low-level
// keyboard hook would see the same, but every key of the desktop would then
// wait for this program to answer, and Windows drops a hook that is slow
// once; raw input costs the other programs nothing.)
#pragma once

#include "MessageWindow.h"
#include "Platform.h"

#include <windows.h>

#include <bitset>
#include <functional>

namespace platform {

class KeyInputWindow {
public:
    // onKey runs at each key or button event, with the keyboard after it.
    explicit KeyInputWindow(std::function<void(const KeyboardState&)> onKey);
    ~KeyInputWindow();
    KeyInputWindow(const KeyInputWindow&) = delete;
    KeyInputWindow& operator=(const KeyInputWindow&) = delete;

    // Whether the system took the registration.
    bool listening() const { return listening_; }

private:
    void input(HRAWINPUT handle);

    std::function<void(const KeyboardState&)> onKey_;
    MessageWindow window_;
    bool listening_ = false;
    std::bitset<256> keys_; // virtual keys down
    int buttons_ = 0;       // mouse buttons down
};

} // namespace platform
