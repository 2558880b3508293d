#include "AltTrigger.h"

#include "ProfileLayout.h"

namespace tray {

bool AltTrigger::tick(const platform::KeyboardState& k) {
    if (mode_ == Mode::AtOnce) return k.altDown;
    if (k.otherDown || k.otherPressed) {
        // Alt with something else: a shortcut of another program.
        state_ = k.altDown ? State::Held : State::Up;
        return false;
    }
    switch (state_) {
    case State::Up:
        if (k.altDown) {
            state_ = State::Alone;
            return false;
        }
        return k.altPressed; // pressed and released between two looks
    case State::Alone:
        if (k.altDown) return false;
        state_ = State::Up;
        return true;
    case State::Held:
        if (!k.altDown) state_ = State::Up;
        return false;
    }
    return false;
}

AltTrigger::Mode StoredAltMode(const profile::Reader& read) {
    return profile::IsTrue(read(profile::kEndData, profile::kAltDown)) ? AltTrigger::Mode::AtOnce
                                                                       : AltTrigger::Mode::Alone;
}

} // namespace tray
