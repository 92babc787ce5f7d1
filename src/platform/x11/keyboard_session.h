#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/keyboard_target.h"
#include "platform/x11/display_connection.h"
#include "platform/x11/focus_guard.h"
#include "platform/x11/key_planner.h"
#include "platform/x11/operator_keys.h"
#include "platform/x11/spare_keymap.h"
#include "platform/x11/target_ping.h"

namespace tastalo::platform::x11 {

// The keyboard for the length of one send: it clears the lock and modifier
// state that would change the typed characters, binds the characters the
// keymap lacks to spare keycodes, types with XTest, and gives everything
// back at the end. No more than kKeysInFlight keys are ever sent past the
// last answer of the focus guard that the server had delivered them to the
// target, so a window that takes the focus mid-send gets those at most. The
// guard is asked after every kKeysPerQuestion keys and its answer read only
// when the bound is reached: the server works through one chunk while the
// next one is sent.
class KeyboardSession {
public:
    static constexpr int kKeysInFlight = 16;
    static constexpr int kKeysPerQuestion = kKeysInFlight / 2;
    // While spare keycodes carry our characters, a target that answers pings
    // is never more than this many keys behind: the keycodes change again
    // (or go back) only once it has read every key sent with them.
    static constexpr int kKeysAheadOfTarget = 256;

    struct Timing {
        // How long to wait for a target that answers pings to catch up with
        // the keys sent, before the spare keycodes change again; a target
        // that does not answer gets the fixed pause below instead, after the
        // server has routed every key. Below 100 ms an xterm lost characters
        // under load (docs/x11.md).
        std::chrono::milliseconds settleTimeout{5000};
        std::chrono::milliseconds settlePause{100};
    };

    KeyboardSession(DisplayConnection& connection, TargetPing& ping, FocusGuard& guard,
                    OperatorKeys& operatorKeys, Timing timing)
        : m_connection(connection),
          m_ping(ping),
          m_guard(guard),
          m_operatorKeys(operatorKeys),
          m_timing(timing) {}

    void begin(::Window target);
    bool active() const { return m_target != 0; }
    // The texts about to be typed, in order, each followed by Return: their
    // missing characters are bound for the whole send.
    void expect(std::vector<std::u32string> texts);
    // Types `text` as planned by KeyPlanner ('\r' is the Return key). Its
    // last keys may still be on their way when it returns. A Return goes
    // only once the server has shown that every key before it reached the
    // target and that the operator pressed no key of their own meanwhile.
    Status type(std::u32string_view text);
    // Waits until the server has handled every key sent; success when all
    // the keys since the last confirmation reached the target, none of the
    // operator's before the last of them.
    Status confirmDelivery();
    // The same without waiting: the answer after the last Return, asked as
    // it went, is read by a later call, which reports a failure it brings.
    Status requestDelivery();
    // The Returns whose barcodes arrived whole, each with an answer read
    // after it; reads the answers still open when some are not counted yet.
    std::size_t entersDelivered();
    // Gives back borrowed keycodes and unlocked locks; no key of ours stays
    // down. Safe to call at any time, more than once.
    void end();

private:
    Status prepareKeyboard();
    bool stateMayHaveChanged();
    Status clearModifierState(XkbStateRec& state);
    void releaseHeldModifiers();
    Status serverRefused();
    void releaseShift();
    Status stopTyping(Status reason);
    static Status lostFocus();
    // Reads the focus guard's answers until a key may go without passing the
    // bound; asks it a question after every chunk.
    Status roomForKey();
    void keySent();
    void askFocus();
    // One round trip: every key sent so far handled by the server, the
    // guard's open questions all answered. False once the focus has left.
    bool confirmAll();
    // Judges every Return the answers read so far cover.
    void countEnters();
    // kOperatorKeyPressed when the operator has pressed a key since the send
    // began, among the reports already read.
    Status operatorKeys();
    Status run(const std::vector<KeyStep>& steps);
    Status bind(const KeyStep& step);
    bool targetAnswers();
    // Waits until the target has read every key sent so far.
    void drain();
    void send(const std::vector<KeyEvent>& events, std::uint8_t character = 0);
    void key(std::uint8_t keycode, bool press);
    void alignXTestKeymap();

    DisplayConnection& m_connection;
    TargetPing& m_ping;
    FocusGuard& m_guard;
    OperatorKeys& m_operatorKeys;
    Timing m_timing;
    ::Window m_target = 0;
    std::optional<bool> m_targetAnswers;
    std::vector<std::u32string> m_expected;
    std::optional<KeyPlanner> m_planner;
    SpareKeymap m_spareKeymap{m_connection};
    KeyEventWriter m_events;
    int m_keysAhead = 0;
    int m_group = -1;
    bool m_watchingState = false;
    unsigned int m_unlockedModifiers = 0;
    // Keys sent past the last answer read, and how many of them each open
    // question covers, oldest first.
    int m_unconfirmedKeys = 0;
    std::deque<int> m_keysPerQuestion;
    int m_keysSinceQuestion = 0;
    unsigned long m_lastKeySerial = 0;
    // Every key request since the last Return or confirmDelivery().
    std::vector<unsigned long> m_keySerials;
    // Returns not yet covered by an answer, each with the key requests of
    // its barcode; how many were whole, and why one was not.
    struct SentEnter {
        unsigned long serial = 0;  // the Return's press
        std::vector<unsigned long> keys;
    };
    std::deque<SentEnter> m_enters;
    std::size_t m_entersDelivered = 0;
    std::optional<Status> m_enterLost;
};

}  // namespace tastalo::platform::x11
