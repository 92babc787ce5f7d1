#pragma once

#include <chrono>

#include "platform/keyboard_target.h"
#include "platform/x11/display_connection.h"
#include "platform/x11/focus_guard.h"
#include "platform/x11/keyboard_session.h"
#include "platform/x11/target_ping.h"
#include "platform/x11/window_activator.h"
#include "platform/x11/window_directory.h"

namespace tastalo::platform::x11 {

// The keystroke and window services on an X11 display: EWMH (or the window
// tree) to find and activate the target, XTest to type into it.
class X11KeyboardTarget final : public KeyboardTarget {
public:
    struct Options {
        WindowActivator::Timing activation;
        KeyboardSession::Timing keyboard;
        // How long a send waits for the operator to let go of the keys
        // still held (the key that started it, a modifier) before it
        // refuses to start.
        std::chrono::milliseconds keysReleased{1000};
    };

    X11KeyboardTarget() : X11KeyboardTarget(Options{}) {}
    explicit X11KeyboardTarget(Options options);
    ~X11KeyboardTarget() override;

    Status activate(std::u32string_view title) override;
    std::optional<TitleMatch> lookUp(std::u32string_view title) override;
    void expectTexts(const std::vector<std::u32string>& texts) override;
    bool targetHasFocus() override;
    Status typeText(std::u32string_view text) override;
    Status pressEnter() override;
    Status confirmDelivery() override;
    Status requestDelivery() override;
    std::optional<std::size_t> entersDelivered() override;
    void finish() override;

private:
    Status readyToType();
    Status awaitReleasedKeys();

    DisplayConnection m_connection;
    WindowDirectory m_directory{m_connection};
    WindowActivator m_activator;
    FocusGuard m_guard{m_connection};
    OperatorKeys m_operatorKeys{m_connection};
    TargetPing m_ping{m_connection};
    KeyboardSession m_session;
    ::Window m_target = 0;
    std::chrono::milliseconds m_keysReleased;
};

}  // namespace tastalo::platform::x11
