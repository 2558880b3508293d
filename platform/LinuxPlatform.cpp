// Linux: the X11 or the Wayland platform, after the session the program
// runs in. A Wayland session is never read through X11, not even through
// XWayland: an X11 grab there sees only the X11 programs.
#include "Platform.h"
#include "WaylandLayout.h"
#include "WaylandScreen.h"

namespace platform {

std::unique_ptr<Platform> CreateX11Platform();
std::unique_ptr<Platform> CreateWaylandPlatform();
QString X11DisplayProblem();

namespace {

wayland::Session CurrentSession() {
    return wayland::DetectSession(qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"),
                                  qgetenv("DISPLAY"));
}

} // namespace

QString DisplayProblem() {
    if (CurrentSession() != wayland::Session::Wayland) return X11DisplayProblem();
    QString why;
    if (wayland::WaylandScreen::Connect(why)) return {};
    const QByteArray name = qgetenv("WAYLAND_DISPLAY");
    return QStringLiteral("cannot connect to the Wayland display \"%1\"")
        .arg(name.isEmpty() ? QStringLiteral("wayland-0") : QString::fromLocal8Bit(name));
}

void ChooseQtPlatform() {
    // Natively on Wayland: the overlay then knows each monitor's scale and
    // gets the pointer to a fraction of a pixel, and no XWayland is needed.
    // Qt's X11 way stays as the fallback where its Wayland plugin is missing.
    if (CurrentSession() == wayland::Session::Wayland &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
}

std::unique_ptr<Platform> CreatePlatform() {
    if (CurrentSession() == wayland::Session::Wayland) return CreateWaylandPlatform();
    return CreateX11Platform();
}

} // namespace platform
