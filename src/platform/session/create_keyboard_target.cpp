#include <cstdlib>
#include <string_view>

#include "platform/keyboard_target.h"
#include "platform/session/session_keyboard_target.h"
#include "platform/wayland/wayland_keyboard_target.h"
#include "platform/x11/x11_keyboard_target.h"

namespace tastalo::platform {

std::unique_ptr<KeyboardTarget> createKeyboardTarget() {
    const char* chosen = std::getenv("TASTALO_BACKEND");
    auto order = session::backendsFor(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), chosen);
    const bool x11BySetting = chosen && std::string_view(chosen) == "x11";
    return std::make_unique<session::SessionKeyboardTarget>(
        std::move(order),
        [](session::Backend backend) -> std::unique_ptr<KeyboardTarget> {
            if (backend == session::Backend::Wayland)
                return std::make_unique<wayland::WaylandKeyboardTarget>();
            return std::make_unique<x11::X11KeyboardTarget>();
        },
        x11BySetting);
}

}  // namespace tastalo::platform
