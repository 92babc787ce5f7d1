#include "platform/keyboard_target.h"
#include "platform/x11/x11_keyboard_target.h"

namespace tastalo::platform {

std::unique_ptr<KeyboardTarget> createKeyboardTarget() { return std::make_unique<x11::X11KeyboardTarget>(); }

}  // namespace tastalo::platform
