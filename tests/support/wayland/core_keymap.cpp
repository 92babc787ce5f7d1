#include "support/wayland/core_keymap.h"

#include <X11/Xlib.h>

namespace tastalo::prova {

unsigned long firstKeysym(int keycode) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return NoSymbol;
    int width = 0;
    KeySym* symbols = XGetKeyboardMapping(display, static_cast<KeyCode>(keycode), 1, &width);
    const KeySym first = symbols && width > 0 ? symbols[0] : NoSymbol;
    if (symbols) XFree(symbols);
    XCloseDisplay(display);
    return first;
}

}  // namespace tastalo::prova
