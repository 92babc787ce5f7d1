#include "settle_keyboard.h"

#include "platform/x11/x11_keyboard_target.h"

namespace tastalo::bench {

namespace {

platform::x11::X11KeyboardTarget::Options optionsFor(const SettleOptions::Setting& setting, bool ping) {
    platform::x11::X11KeyboardTarget::Options options;
    if (!ping) options.keyboard.settleTimeout = std::chrono::milliseconds(0);
    if (setting.pause) options.keyboard.settlePause = *setting.pause;
    return options;
}

}  // namespace

std::unique_ptr<platform::KeyboardTarget> settleKeyboard(const SettleOptions::Setting& setting, bool ping) {
    return std::make_unique<platform::x11::X11KeyboardTarget>(optionsFor(setting, ping));
}

std::chrono::milliseconds settlePause(const SettleOptions::Setting& setting) {
    return optionsFor(setting, true).keyboard.settlePause;
}

}  // namespace tastalo::bench
