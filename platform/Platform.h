// What the operating system gives the windows, behind one interface: the
// X11 and Windows implementations live in platform/x11 and platform/win, a
// null one (no screen, no key state) in platform/null, and tests hand in
// fakes through the windows' constructors.
//
// Pixels: every rectangle here is in physical screen pixels, (0, 0) at the
// top-left of the primary screen, whatever scale factor Qt uses for drawing.
// Images come back as QImage::Format_RGB32, one image pixel per screen pixel.
#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QUrl>

#include <memory>

class QWidget;

namespace platform {

class Platform {
public:
    virtual ~Platform() = default;

    // A copy of the screen rectangle. Parts that lie outside every screen
    // read as white. An empty rectangle gives an empty image.
    virtual QImage grabScreen(const QRect& rect) = 0;

    // The primary screen, in physical pixels.
    virtual QRect primaryScreen() = 0;

    // Every screen, in physical pixels, the primary one first; none when the
    // screen cannot be read at all.
    virtual QList<QRect> screens() {
        const QRect primary = primaryScreen();
        return primary.isEmpty() ? QList<QRect>() : QList<QRect>{primary};
    }

    // Whether an Alt key is down right now, also while another application
    // has the keyboard focus.
    virtual bool altKeyDown() = 0;

    // The system clipboard's picture: put one there (replacing whatever the
    // clipboard held), or read it back (a null image when it holds none).
    virtual void setClipboardImage(const QImage& image) = 0;
    virtual QImage clipboardImage() = 0;

    // Hands a document or web address to the desktop without waiting.
    virtual bool openUrl(const QUrl& url) = 0;

    // Keeps a window above all ordinary windows, or lets it go.
    virtual void setTopMost(QWidget* window, bool topMost) = 0;

    // Empty, or one sentence saying what this desktop cannot give the
    // program (no global key state or screen copy under Wayland, say).
    virtual QString limitation() = 0;
};

// The implementation for the system the program runs on.
std::unique_ptr<Platform> CreatePlatform();

// Before the application object exists (Qt ends the process when it finds no
// display): empty when the system's display can be opened, otherwise one
// sentence saying why not. For the command-line reader.
QString DisplayProblem();

} // namespace platform
