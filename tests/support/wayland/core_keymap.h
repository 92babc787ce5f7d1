#pragma once

// What XWayland's core keyboard types, read apart from the tests, which
// cannot see Xlib's macros.
namespace tastalo::prova {

// The first keysym the core keyboard of $DISPLAY gives `keycode` now; 0 if
// none, or no display.
unsigned long firstKeysym(int keycode);

}  // namespace tastalo::prova
