#include "X11Typing.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <QList>

namespace platform {

unsigned long FocusWindow(Display* d) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    return focus == PointerRoot ? 0 : focus;
}

bool AnyKeyDown(Display* d) {
    char keys[32] = {};
    XQueryKeymap(d, keys);
    for (const char k : keys)
        if (k != 0) return true;
    Window root = 0, child = 0;
    int rx = 0, ry = 0, x = 0, y = 0;
    unsigned mask = 0;
    return XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &x, &y, &mask) &&
           (mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask));
}

unsigned long KeysymOfCharacter(char32_t c) {
    if (c == U'\t') return XK_Tab;
    if (c == U'\n' || c == U'\r') return XK_Return;
    if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) return c;
    return 0x01000000 | c;
}

QString X11Typist::type(const QString& text, unsigned long after) {
    Display* d = display_;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor))
        return QStringLiteral("この X サーバーはキー入力の送信 (XTEST) に対応していないため、"
                              "入力できませんでした。");
    for (const char32_t c : text.toUcs4())
        if (!tap(KeysymOfCharacter(c)))
            return QStringLiteral(
                       "キーボードに空きのキーがないため、「%1」を入力できませんでした。")
                .arg(QString::fromUcs4(&c, 1));
    if (after != 0) tap(after);
    XSync(d, False);
    return {};
}

bool X11Typist::tap(unsigned long sym) {
    Display* d = display_;
    KeyCode code = XKeysymToKeycode(d, sym);
    bool shifted = false;
    if (code != 0) {
        // Typed at the level that gives the symbol; the keys are all up.
        if (XkbKeycodeToKeysym(d, code, 0, 0) == sym)
            shifted = false;
        else if (XkbKeycodeToKeysym(d, code, 0, 1) == sym)
            shifted = true;
        else
            code = 0;
    }
    if (code == 0) {
        code = spare();
        if (code == 0) return false;
        KeySym both[2] = {sym, sym};
        XChangeKeyboardMapping(d, code, 2, both, 1);
        XSync(d, False);
        spareBound_ = true;
    }
    const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    if (shifted && shift != 0) XTestFakeKeyEvent(d, shift, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shifted && shift != 0) XTestFakeKeyEvent(d, shift, False, CurrentTime);
    if (spareBound_) XSync(d, False); // the window reads it before the next binding
    return true;
}

unsigned char X11Typist::spare() {
    if (spareSearched_) return spare_;
    spareSearched_ = true;
    Display* d = display_;
    int low = 0, high = 0, perCode = 0;
    XDisplayKeycodes(d, &low, &high);
    KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(low), high - low + 1, &perCode);
    if (!map) return 0;
    // The highest code without any symbol: the one least likely to be a key.
    for (int code = high; code >= low && spare_ == 0; --code) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i)
            empty = empty && map[(code - low) * perCode + i] == NoSymbol;
        if (empty) spare_ = static_cast<KeyCode>(code);
    }
    XFree(map);
    return spare_;
}

void X11Typist::restoreSpare() {
    if (!spareBound_ || spare_ == 0) return;
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display_, spare_, 2, none, 1);
    XFlush(display_);
    spareBound_ = false;
}

} // namespace platform
