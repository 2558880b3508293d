// The program's own connection to the Wayland compositor, apart from Qt's:
// the outputs (wl_output with xdg-output for the logical layout) and, where
// the compositor offers wlr-screencopy (sway, Hyprland, labwc, river...),
// copies of an output's pixels into shared memory.
#pragma once

#include "WaylandLayout.h"

#include <QImage>
#include <QList>
#include <QString>

#include <memory>

namespace platform::wayland {

class WaylandScreen {
public:
    // Connects to the compositor of WAYLAND_DISPLAY (or the default
    // display). Null, with why set, when there is none.
    static std::unique_ptr<WaylandScreen> Connect(QString& why);
    ~WaylandScreen();
    WaylandScreen(const WaylandScreen&) = delete;
    WaylandScreen& operator=(const WaylandScreen&) = delete;

    // The outputs as they are now (outputs that came or went since the last
    // look included).
    QList<Output> outputs();

    // Whether the compositor lets clients copy outputs (wlr-screencopy).
    bool canCopy() const;

    // A copy of the output's buffer as the output shows it, without the
    // mouse pointer. A null image, with why set, when the compositor refused
    // or the output is gone.
    QImage copy(const QString& output, QString& why);

    struct State;

private:
    explicit WaylandScreen(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};

} // namespace platform::wayland
