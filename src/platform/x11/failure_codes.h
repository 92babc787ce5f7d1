#pragma once

#include <cstdint>
#include <string>

#include "platform/keyboard_target.h"

// Codes of the X11 backend's failures other than a missing target window.
// They stay clear of the codes of the other failure sources so that the
// general failure message identifies them at a glance.
namespace tastalo::platform::x11 {

inline constexpr std::int32_t kDisplayUnavailable = 1001;  // no X server, or one without XTEST/XKB
inline constexpr std::int32_t kCharacterNotTypeable = 1002;
inline constexpr std::int32_t kTargetLostFocus = 1003;
inline constexpr std::int32_t kModifiersHeld = 1004;
inline constexpr std::int32_t kServerError = 1005;  // the X server refused a request

inline Status failure(std::int32_t code, std::string description) {
    return Status{code, std::move(description)};
}

}  // namespace tastalo::platform::x11
