#pragma once

#include <chrono>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/keyboard_target.h"
#include "platform/x11/display_connection.h"
#include "platform/x11/focus_guard.h"
#include "platform/x11/key_planner.h"
#include "platform/x11/target_ping.h"

namespace tastalo::platform::x11 {

// The keyboard for the length of one send: it clears the lock and modifier
// state that would change the typed characters, borrows spare keycodes for
// characters the keymap lacks, types with XTest, and gives everything back
// at the end. No more than kKeysInFlight keys are ever sent without the
// focus guard confirming that the server delivered them to the target, so a
// window that takes the focus mid-send gets those at most.
class KeyboardSession {
public:
    static constexpr int kKeysInFlight = 16;

    struct Timing {
        // How long to wait for the target to catch up before a borrowed
        // keycode changes meaning; without an answer, the fixed pause below.
        std::chrono::milliseconds settleTimeout{1000};
        std::chrono::milliseconds settlePause{100};
    };

    KeyboardSession(DisplayConnection& connection, TargetPing& ping, FocusGuard& guard, Timing timing)
        : m_connection(connection), m_ping(ping), m_guard(guard), m_timing(timing) {}

    void begin(::Window target);
    bool active() const { return m_target != 0; }
    // Types `text` as planned by KeyPlanner ('\r' is the Return key). Its
    // last keys may still be on their way when it returns.
    Status type(std::u32string_view text);
    // Waits until the server has handled every key sent; success when all of
    // them reached the target.
    Status confirmDelivery();
    // Gives back borrowed keycodes, released modifier keys and unlocked
    // locks. Safe to call at any time, more than once.
    void end();

private:
    Status prepareKeyboard();
    bool stateMayHaveChanged();
    Status clearModifierState(XkbStateRec& state);
    void releaseHeldModifiers();
    Status serverRefused();
    static Status lostFocus();
    Status run(const std::vector<KeyStep>& steps);
    void settle();
    void key(std::uint8_t keycode, bool press);

    DisplayConnection& m_connection;
    TargetPing& m_ping;
    FocusGuard& m_guard;
    Timing m_timing;
    ::Window m_target = 0;
    std::optional<KeyPlanner> m_planner;
    int m_group = -1;
    bool m_watchingState = false;
    std::uint8_t m_shiftKeycode = 0;
    unsigned int m_unlockedModifiers = 0;
    std::vector<std::uint8_t> m_releasedKeys;
    int m_unconfirmedKeys = 0;
    unsigned long m_lastKeySerial = 0;
};

}  // namespace tastalo::platform::x11
