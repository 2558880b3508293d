// Windows: screen pixels with BitBlt from the screen's device context in
// physical pixels (Qt makes the process per-monitor DPI aware; the virtual
// desktop already has the primary monitor's top-left at (0, 0)), monitors
// from EnumDisplayMonitors, the keyboard from GetAsyncKeyState over every
// key (GetKeyState follows this thread's own message queue, not the
// keyboard), the always-on-top band with SetWindowPos, the taskbar's
// notification area by its window; a hidden window by which the installer
// asks the program to end.
#include "EndRequestWindow.h"
#include "HotkeyWindow.h"
#include "KeyInputWindow.h"
#include "PlatformCommon.h"

#include <QGuiApplication>
#include <QHash>
#include <QVariant>
#include <QWidget>
#include <QtGui/private/qguiapplication_p.h>

#include <windows.h>

#include <vector>

namespace platform {

namespace {

// Device contexts and bitmaps held only for one grab.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class Bitmap {
public:
    explicit Bitmap(HBITMAP b) : b_(b) {}
    ~Bitmap() {
        if (b_) DeleteObject(b_);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    HBITMAP get() const { return b_; }

private:
    HBITMAP b_;
};

class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT r, LPARAM list) {
    auto* monitors = reinterpret_cast<QList<QRect>*>(list);
    const QRect rect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1));
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY))
        monitors->prepend(rect);
    else
        monitors->append(rect);
    return TRUE;
}

QList<QRect> Monitors() {
    QList<QRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

bool IsAlt(int vk) {
    return vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
}

class WinPlatform : public PlatformCommon {
public:
    WinPlatform() {
        // Windows lets a program in the background only flash its taskbar
        // button; the main window opened by Alt must take the keyboard.
        using QNativeInterface::Private::QWindowsApplication;
        if (auto* app = qGuiApp ? qGuiApp->nativeInterface<QWindowsApplication>() : nullptr)
            app->setWindowActivationBehavior(QWindowsApplication::AlwaysActivateWindow);
    }

    // One copy per monitor touched, of the smallest rectangle holding the
    // rectangles on it, the copies one right after the other; each
    // rectangle is cut from the copy of the monitor that holds most of it.
    QList<QImage> grabScreens(const QList<QRect>& rects) override {
        const QList<QRect> monitors = Monitors();
        QList<QImage> out(rects.size());
        QHash<int, QList<int>> byMonitor; // monitor index (-1: none) -> rectangles
        for (int i = 0; i < rects.size(); ++i) {
            if (rects[i].width() <= 0 || rects[i].height() <= 0) continue;
            int best = -1;
            qint64 most = 0;
            for (int m = 0; m < monitors.size(); ++m) {
                const QRect o = rects[i] & monitors[m];
                const qint64 area = qint64(o.width()) * o.height();
                if (!o.isEmpty() && area > most) most = area, best = m;
            }
            byMonitor[best].append(i);
        }
        for (auto it = byMonitor.cbegin(); it != byMonitor.cend(); ++it) {
            QList<QRect> group;
            for (int i : it.value())
                group.append(rects[i]);
            const QRect bounds = Bounds(group);
            const QImage copy = Copy(bounds);
            if (copy.isNull()) return QList<QImage>(rects.size()); // no picture, never a white one
            const QList<QImage> cut = CutRects(copy, bounds.topLeft(), group, monitors);
            for (int k = 0; k < it.value().size(); ++k)
                out[it.value()[k]] = cut[k];
        }
        return out;
    }

    // The screen pixels of rect as they are; a null image when the system
    // gives none.
    static QImage Copy(const QRect& rect) {
        ScreenDc screen;
        MemoryDc memory(screen.get());
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = rect.width();
        info.bmiHeader.biHeight = -rect.height(); // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        Bitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!screen.get() || !memory.get() || !bitmap.get() || !bits) return {};
        {
            Selection selected(memory.get(), bitmap.get());
            if (!BitBlt(memory.get(), 0, 0, rect.width(), rect.height(), screen.get(), rect.x(),
                        rect.y(), SRCCOPY | CAPTUREBLT))
                return {};
            GdiFlush();
        }
        QImage image(rect.size(), QImage::Format_RGB32);
        const auto* src = static_cast<const quint32*>(bits);
        for (int y = 0; y < rect.height(); ++y) {
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < rect.width(); ++x)
                dst[x] = 0xFF000000u | src[static_cast<qsizetype>(y) * rect.width() + x];
        }
        return image;
    }

    QList<QRect> screens() override {
        QList<QRect> monitors = Monitors();
        if (monitors.isEmpty())
            monitors.append(
                QRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
        return monitors;
    }

    std::optional<QPoint> pointerPosition() override {
        POINT p{};
        if (!GetCursorPos(&p)) return std::nullopt;
        return QPoint(p.x, p.y);
    }

    // The high bit: down now; the low bit: pressed since the previous call
    // (by anyone, so only a hint).
    KeyboardState keyboard() override {
        KeyboardState s;
        for (int vk = 1; vk < 256; ++vk) {
            const auto k = static_cast<unsigned short>(GetAsyncKeyState(vk));
            const bool down = (k & 0x8000) != 0, pressed = (k & 1) != 0;
            if (IsAlt(vk)) {
                s.altDown = s.altDown || down;
                s.altPressed = s.altPressed || pressed;
            } else {
                s.otherDown = s.otherDown || down;
                s.otherPressed = s.otherPressed || pressed;
            }
        }
        return s;
    }

    bool keysDown() override {
        for (int vk = 1; vk < 256; ++vk)
            if ((static_cast<unsigned short>(GetAsyncKeyState(vk)) & 0x8000) != 0) return true;
        return false;
    }
    // The foreground window: the one whose thread gets the keys.
    quintptr focusWindow() override { return reinterpret_cast<quintptr>(GetForegroundWindow()); }
    bool typesText() override { return true; }
    // Each UTF-16 unit as a Unicode key of its own (no layout in between),
    // the key after as the ordinary key.
    QString typeText(const QString& text, int afterKey) override {
        std::vector<INPUT> inputs;
        const auto key = [&inputs](WORD vk, WORD unit, DWORD flags) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.wScan = unit;
            in.ki.dwFlags = flags;
            inputs.push_back(in);
        };
        for (const QChar c : text) {
            key(0, c.unicode(), KEYEVENTF_UNICODE);
            key(0, c.unicode(), KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
        }
        const WORD after = afterKey == Qt::Key_Tab      ? VK_TAB
                           : afterKey == Qt::Key_Return ? VK_RETURN
                                                        : 0;
        if (after != 0) {
            key(after, 0, 0);
            key(after, 0, KEYEVENTF_KEYUP);
        }
        if (inputs.empty()) return {};
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent == inputs.size()) return {};
        // Blocked: a window of a program run as administrator takes no keys
        // from an ordinary one.
        return QStringLiteral("入力先のウィンドウがキー入力を受け付けませんでした (管理者として"
                              "実行中のプログラムなど)。");
    }

    bool watchKeys(const std::function<void(const KeyboardState&)>& onKey) override {
        keyInput_.reset();
        if (!onKey) return true;
        keyInput_ = std::make_unique<KeyInputWindow>(onKey);
        if (keyInput_->listening()) return true;
        keyInput_.reset();
        return false;
    }
    Hotkey takeHotkey(int id, QKeyCombination key,
                      const std::function<void()>& onPressed) override {
        if (!hotkeys_) hotkeys_ = std::make_unique<HotkeyWindow>();
        return hotkeys_->take(id, key, onPressed);
    }
    void releaseHotkey(int id) override {
        if (hotkeys_) hotkeys_->release(id);
    }

    QString keyWatchKind() override {
        return keyInput_ ? QStringLiteral("raw input (RIDEV_INPUTSINK)")
                         : QStringLiteral("polling the keyboard every 100 ms (GetAsyncKeyState)");
    }

    void setTopMost(QWidget* window, bool topMost) override {
        if (!window) return;
        if (!window->isVisible()) {
            window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
            return;
        }
        const auto hwnd = reinterpret_cast<HWND>(window->winId());
        if (topMost)
            SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        else
            SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    }

    bool trayActivatesOnSingleClick() override { return false; }

    // Qt takes the notification area for always there; it is the taskbar's
    // window, which Explorer makes at a login only after the programs of the
    // start-up list may have started.
    bool notificationAreaReady() override {
        return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
    }

    // Only the program in front gets the clicks on its menu, and only its
    // menu closes when the user clicks elsewhere.
    bool trayMenuNeedsForeground() override { return true; }
    void bringToForeground(QWidget* window) override {
        if (window) SetForegroundWindow(reinterpret_cast<HWND>(window->winId()));
    }

    // Fully transparent (a layered window) rather than hidden: Qt and the
    // modal loop of a dialog never notice, and the desktop composes what lies
    // under the window at once.
    void withdrawWindows(const QList<QWidget*>& windows) override {
        for (QWidget* w : windows) {
            w->setProperty(kOpacity, w->windowOpacity());
            w->setWindowOpacity(0.0);
        }
    }
    void restoreWindows(const QList<QWidget*>& windows) override {
        for (QWidget* w : windows) {
            const QVariant before = w->property(kOpacity);
            if (!before.isValid()) continue;
            w->setWindowOpacity(before.toDouble());
            w->setProperty(kOpacity, QVariant());
        }
    }
    int repaintMilliseconds() override { return 200; }

    QString limitation() override { return {}; }

    void whenAskedToEnd(std::function<void()> end) override {
        endRequest_.reset();
        if (end) endRequest_ = std::make_unique<EndRequestWindow>(std::move(end));
    }

private:
    static constexpr const char* kOpacity = "tirelmaOpacityBeforeCapture";
    std::unique_ptr<EndRequestWindow> endRequest_;
    std::unique_ptr<KeyInputWindow> keyInput_;
    std::unique_ptr<HotkeyWindow> hotkeys_;
};

} // namespace

std::unique_ptr<Platform> CreatePlatform() {
    return std::make_unique<WinPlatform>();
}

QString DisplayProblem() {
    return {};
}

void ChooseQtPlatform() {}

} // namespace platform
