#include "HotkeyWindow.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform {

namespace {

constexpr wchar_t kClass[] = L"TirelmaHotkeys";

// RegisterHotKey's identifiers of an application: 0x0000 to 0xBFFF.
constexpr int kFirstId = 0x2000;

UINT ModsOf(Qt::KeyboardModifiers m) {
    UINT x = MOD_NOREPEAT; // held down, it reads once
    if (m & Qt::ShiftModifier) x |= MOD_SHIFT;
    if (m & Qt::ControlModifier) x |= MOD_CONTROL;
    if (m & Qt::AltModifier) x |= MOD_ALT;
    if (m & Qt::MetaModifier) x |= MOD_WIN;
    return x;
}

} // namespace

UINT VirtualKeyOf(Qt::Key k) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return VK_F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_Print:
        return VK_SNAPSHOT;
    case Qt::Key_ScrollLock:
        return VK_SCROLL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Minus:
        return VK_OEM_MINUS;
    case Qt::Key_Comma:
        return VK_OEM_COMMA;
    case Qt::Key_Period:
        return VK_OEM_PERIOD;
    default:
        return 0;
    }
}

HotkeyWindow::HotkeyWindow()
    : window_(kClass, L"",
              [this](UINT message, WPARAM w, LPARAM) -> std::optional<LRESULT> {
                  if (message != WM_HOTKEY) return std::nullopt;
                  if (QCoreApplication::instance())
                      for (const auto& [id, h] : held_)
                          if (kFirstId + id == static_cast<int>(w) && h.onPressed)
                              QMetaObject::invokeMethod(QCoreApplication::instance(), h.onPressed,
                                                        Qt::QueuedConnection);
                  return 0;
              }),
      hwnd_(window_.handle()) {}

HotkeyWindow::~HotkeyWindow() {
    for (const auto& [id, h] : held_)
        UnregisterHotKey(hwnd_, kFirstId + id);
}

Platform::Hotkey HotkeyWindow::take(int id, QKeyCombination key, std::function<void()> onPressed) {
    const UINT vk = VirtualKeyOf(key.key());
    if (!hwnd_ || vk == 0) return Platform::Hotkey::Unusable;
    const UINT mods = ModsOf(key.keyboardModifiers());
    const auto held = held_.find(id);
    if (held != held_.end() && held->second.mods == mods && held->second.vk == vk) {
        held->second.onPressed = std::move(onPressed);
        return Platform::Hotkey::Taken;
    }
    // A second identifier while the old one holds: the old goes only once
    // the new one is in.
    const int trial = kFirstId + 0x1000 + id;
    if (!RegisterHotKey(hwnd_, trial, mods, vk)) return Platform::Hotkey::InUse; // held elsewhere
    UnregisterHotKey(hwnd_, trial);
    if (held != held_.end()) UnregisterHotKey(hwnd_, kFirstId + id);
    if (!RegisterHotKey(hwnd_, kFirstId + id, mods, vk)) {
        held_.erase(id);
        return Platform::Hotkey::InUse;
    }
    held_[id] = {mods, vk, std::move(onPressed)};
    return Platform::Hotkey::Taken;
}

void HotkeyWindow::release(int id) {
    const auto held = held_.find(id);
    if (held == held_.end()) return;
    UnregisterHotKey(hwnd_, kFirstId + id);
    held_.erase(held);
}

} // namespace platform
