#pragma once

#include "platform/x11/key_planner.h"
#include "platform/x11/xlib_includes.h"

namespace tastalo::platform::x11 {

// The server's keymap for `group`, from XKB: for every key the symbols of its
// first two shift levels as the key's type assigns them to no modifier and to
// Shift alone. Empty when XKB cannot give the map.
KeymapSnapshot readKeymap(Display* display, int group);

}  // namespace tastalo::platform::x11
