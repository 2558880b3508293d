// Typing into the window with the focus on X11, through the XTEST
// extension: every character pressed as the keyboard map has it, one that
// no key gives typed through a key code the map leaves unused, bound for
// that moment to the character.
#pragma once

#include <QString>

// Xlib's own names, without its header (which must come after Qt's).
typedef struct _XDisplay Display;

namespace platform {

// The window that has the keyboard focus; 0 for none (or the pointer's).
unsigned long FocusWindow(Display* d);

// Whether any key or mouse button is down now.
bool AnyKeyDown(Display* d);

// The character's key symbol: Latin-1 as it is, Tab and newline as their
// keys, everything else as Unicode symbols.
unsigned long KeysymOfCharacter(char32_t c);

class X11Typist {
public:
    explicit X11Typist(Display* d) : display_(d) {}
    // Types text, then the key after it (0 for none). Empty once typed,
    // otherwise why not.
    QString type(const QString& text, unsigned long after);
    // Gives the key code borrowed for characters missing from the map
    // back; done a moment after typing, once the window has read its keys.
    void restoreSpare();
    bool borrowsSpare() const { return spareBound_; }

private:
    bool tap(unsigned long sym);
    unsigned char spare();

    Display* display_;
    unsigned char spare_ = 0;
    bool spareSearched_ = false;
    bool spareBound_ = false;
};

} // namespace platform
