// Windows: screen pixels with BitBlt from the screen's device context in
// physical pixels (Qt makes the process per-monitor DPI aware), monitors
// from EnumDisplayMonitors, the Alt key from GetAsyncKeyState (GetKeyState
// follows this thread's own message queue, not the keyboard), the
// always-on-top band with SetWindowPos.
#include "PlatformCommon.h"

#include <QWidget>

#include <windows.h>

#include <algorithm>

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

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT r, LPARAM list) {
    reinterpret_cast<QList<QRect>*>(list)->append(
        QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1)));
    return TRUE;
}

class WinPlatform : public PlatformCommon {
public:
    QImage grabScreen(const QRect& rect) override {
        if (rect.width() <= 0 || rect.height() <= 0) return {};
        QImage image(rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
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
        if (!screen.get() || !memory.get() || !bitmap.get() || !bits) return image;
        {
            Selection selected(memory.get(), bitmap.get());
            if (!BitBlt(memory.get(), 0, 0, rect.width(), rect.height(), screen.get(), rect.x(),
                        rect.y(), SRCCOPY | CAPTUREBLT))
                return image;
            GdiFlush();
        }
        const auto* src = static_cast<const quint32*>(bits);
        for (int y = 0; y < rect.height(); ++y) {
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < rect.width(); ++x)
                dst[x] = 0xFF000000u | src[static_cast<qsizetype>(y) * rect.width() + x];
        }
        QList<QRect> monitors;
        EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        return WhiteOutsideScreens(image, rect, monitors);
    }

    QRect primaryScreen() override {
        return QRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    }

    QList<QRect> screens() override {
        QList<QRect> monitors;
        EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        // The primary monitor is the one at (0, 0).
        std::stable_partition(monitors.begin(), monitors.end(),
                              [](const QRect& r) { return r.topLeft() == QPoint(0, 0); });
        return monitors;
    }

    bool altKeyDown() override { return (GetAsyncKeyState(VK_MENU) & 0x8000) != 0; }

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

    QString limitation() override { return {}; }
};

} // namespace

std::unique_ptr<Platform> CreatePlatform() {
    return std::make_unique<WinPlatform>();
}

QString DisplayProblem() {
    return {};
}

} // namespace platform
