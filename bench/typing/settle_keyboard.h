#pragma once

#include <chrono>
#include <memory>

#include "platform/keyboard_target.h"
#include "settle_options.h"

namespace tastalo::bench {

// The X11 backend with the waits of one setting of the settle measurements
// (apart, so that no X11 header meets Qt's). Without `ping` no time at all
// is given to a ping's answer: the target is taken as one that gives none.
std::unique_ptr<platform::KeyboardTarget> settleKeyboard(const SettleOptions::Setting& setting, bool ping);

// The pause the backend uses for the setting, its own when none is given.
std::chrono::milliseconds settlePause(const SettleOptions::Setting& setting);

}  // namespace tastalo::bench
