// When the Alt key opens the main window, from one look at the keyboard per
// tick of the watch.
//
// Alt alone (unless the profile chooses otherwise): Alt pressed and released
// with no other key or mouse button pressed in between, as Windows itself
// treats Alt for menus. Alt+Tab, Alt+F4, Alt with a click (moving a window)
// open nothing, and neither does an Alt that was already down when the watch
// began (held from Alt+W in the main window): it counts only once it has been
// released and pressed again.
//
// At once ([ENDDATA] ALTDOWN=True): whenever Alt is down at a tick, whatever
// else is pressed, as the program always did.
#pragma once

#include "Platform.h"
#include "ProfileLayout.h"

namespace tray {

class AltTrigger {
public:
    enum class Mode { Alone, AtOnce };

    void setMode(Mode mode) { mode_ = mode; }
    Mode mode() const { return mode_; }

    // The watch begins, or resumes after the main window closed, with the
    // keyboard as it is now (what was pressed before no longer counts).
    void restart(const platform::KeyboardState& now) {
        state_ = now.altDown || now.otherDown ? State::Held : State::Up;
    }

    // One look at the keyboard: whether the main window is to open now.
    bool tick(const platform::KeyboardState& keys);

private:
    enum class State {
        Up,    // Alt up
        Alone, // Alt down, nothing else pressed since
        Held,  // Alt down with something else, or since before the watch began
    };
    Mode mode_ = Mode::Alone;
    State state_ = State::Held;
};

// The mode the profile asks for.
AltTrigger::Mode StoredAltMode(const profile::Reader& read);

} // namespace tray
