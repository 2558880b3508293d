#include "KeyInputWindow.h"

#include <vector>

namespace platform {

namespace {

constexpr wchar_t kClass[] = L"TirelmaKeyInput";

bool IsAltKey(unsigned vk) {
    return vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
}

} // namespace

KeyInputWindow::KeyInputWindow(std::function<void(const KeyboardState&)> onKey)
    : onKey_(std::move(onKey)),
      window_(kClass, L"", [this](UINT message, WPARAM, LPARAM l) -> std::optional<LRESULT> {
          if (message == WM_INPUT) input(reinterpret_cast<HRAWINPUT>(l));
          return std::nullopt; // the system also cleans up after WM_INPUT
      }) {
    const HWND hwnd = window_.handle();
    if (!hwnd) return;
    // Where the keyboard stands now; the events move it on.
    for (int vk = 1; vk < 256; ++vk)
        if (GetAsyncKeyState(vk) & 0x8000) keys_.set(static_cast<std::size_t>(vk));
    for (const int vk : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2})
        if (keys_[static_cast<std::size_t>(vk)]) {
            keys_.reset(static_cast<std::size_t>(vk));
            ++buttons_;
        }
    RAWINPUTDEVICE devices[2]{};
    devices[0].usUsagePage = 0x01; // generic desktop
    devices[0].usUsage = 0x06;     // keyboard
    devices[0].dwFlags = RIDEV_INPUTSINK;
    devices[0].hwndTarget = hwnd;
    devices[1].usUsagePage = 0x01;
    devices[1].usUsage = 0x02; // mouse
    devices[1].dwFlags = RIDEV_INPUTSINK;
    devices[1].hwndTarget = hwnd;
    listening_ = RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE)) != FALSE;
}

KeyInputWindow::~KeyInputWindow() {
    if (listening_) {
        RAWINPUTDEVICE devices[2]{};
        devices[0].usUsagePage = 0x01;
        devices[0].usUsage = 0x06;
        devices[0].dwFlags = RIDEV_REMOVE;
        devices[1].usUsagePage = 0x01;
        devices[1].usUsage = 0x02;
        devices[1].dwFlags = RIDEV_REMOVE;
        RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
    }
}

void KeyInputWindow::input(HRAWINPUT handle) {
    UINT size = 0;
    if (GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 ||
        size == 0)
        return;
    std::vector<unsigned char> buffer(size);
    if (GetRawInputData(handle, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) != size)
        return;
    const auto* raw = reinterpret_cast<const RAWINPUT*>(buffer.data());
    KeyboardState k;
    if (raw->header.dwType == RIM_TYPEKEYBOARD) {
        const unsigned vk = raw->data.keyboard.VKey;
        if (vk == 0 || vk >= 256 || vk == 0xFF) return; // part of another key's sequence
        const bool release = (raw->data.keyboard.Flags & RI_KEY_BREAK) != 0;
        if (release) {
            keys_.reset(vk);
        } else {
            keys_.set(vk);
            (IsAltKey(vk) ? k.altPressed : k.otherPressed) = true;
        }
    } else if (raw->header.dwType == RIM_TYPEMOUSE) {
        const USHORT f = raw->data.mouse.usButtonFlags;
        const USHORT downs = RI_MOUSE_LEFT_BUTTON_DOWN | RI_MOUSE_RIGHT_BUTTON_DOWN |
                             RI_MOUSE_MIDDLE_BUTTON_DOWN | RI_MOUSE_BUTTON_4_DOWN |
                             RI_MOUSE_BUTTON_5_DOWN;
        const USHORT ups = RI_MOUSE_LEFT_BUTTON_UP | RI_MOUSE_RIGHT_BUTTON_UP |
                           RI_MOUSE_MIDDLE_BUTTON_UP | RI_MOUSE_BUTTON_4_UP | RI_MOUSE_BUTTON_5_UP;
        if ((f & (downs | ups)) == 0) return; // a move or a wheel
        if (f & downs) {
            ++buttons_;
            k.otherPressed = true;
        }
        if ((f & ups) && buttons_ > 0) --buttons_;
    } else {
        return;
    }
    std::bitset<256> others = keys_;
    for (const unsigned vk : {unsigned(VK_MENU), unsigned(VK_LMENU), unsigned(VK_RMENU)})
        others.reset(vk);
    k.altDown = keys_[VK_MENU] || keys_[VK_LMENU] || keys_[VK_RMENU];
    k.otherDown = buttons_ > 0 || others.any();
    if (onKey_) onKey_(k);
}

} // namespace platform
