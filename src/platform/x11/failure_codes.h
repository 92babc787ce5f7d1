#pragma once

#include <cstdint>
#include <string>

#include "platform/keyboard_target.h"

// The X11 backend's names for the shared failure codes.
namespace tastalo::platform::x11 {

inline constexpr std::int32_t kDisplayUnavailable = kKeyboardUnavailable;  // no X server, or one without XTEST/XKB
inline constexpr std::int32_t kServerError = kInputRefused;  // the X server refused a request

inline Status failure(std::int32_t code, std::string description) {
    return Status{code, std::move(description)};
}

}  // namespace tastalo::platform::x11
