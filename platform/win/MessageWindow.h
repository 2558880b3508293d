// A hidden window of the program's own whose messages go to a function of
// its owner: message-only, or a top-level one (never shown) where another
// program has to find it by its class. The program's few such windows (the
// global shortcuts, the raw key input, the --show requests, the request to
// end) are each one of these.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace platform {

class MessageWindow {
public:
    // The message's answer, or nothing to leave the message to the system.
    using Handler = std::function<std::optional<LRESULT>(UINT message, WPARAM w, LPARAM l)>;
    enum class Kind {
        MessageOnly, // FindWindowEx(HWND_MESSAGE, ...) finds it
        TopLevel,    // FindWindow finds it (a tool window, never shown)
    };
    // ownClass: the class is this window's alone, registered here (no window
    // when that fails: another one has it) and unregistered with it;
    // otherwise a class the windows of a kind share, registered once.
    MessageWindow(std::wstring className, const wchar_t* title, Handler handle,
                  Kind kind = Kind::MessageOnly, bool ownClass = false);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Null where the system gave no window.
    HWND handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l);

    std::wstring className_;
    Handler handle_;
    bool ownClass_ = false;
    HWND hwnd_ = nullptr;
};

} // namespace platform
