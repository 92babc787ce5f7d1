#pragma once

#include <chrono>
#include <memory>

#include "platform/keyboard_target.h"
#include "platform/win32/desktop.h"

namespace tastalo::platform::win32 {

// The keystroke services on a Windows desktop: activation by title with
// SetForegroundWindow (retried while attached to the foreground thread when
// refused), typing with SendInput as Unicode characters, the foreground
// checked before every text, every Enter and every kKeysInFlight keys.
class WindowsKeyboardTarget final : public KeyboardTarget {
public:
    struct Timing {
        int attempts = 5;                              // activation requests at most
        std::chrono::milliseconds poll{10};            // between two foreground checks
        std::chrono::milliseconds settle{200};         // wait after each request
        std::chrono::milliseconds keysReleased{1000};  // wait for the operator's keys to come up
    };

    // Keys sent at most between two checks of the foreground window.
    static constexpr std::size_t kKeysInFlight = 16;

    explicit WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop);
    WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop, Timing timing);

    Status activate(std::u32string_view title) override;
    bool targetHasFocus() override;
    Status typeText(std::u32string_view text) override;
    Status pressEnter() override;
    Status confirmDelivery() override;
    void finish() override;

private:
    bool waitUntilForeground(WindowHandle window);
    Status requireTarget() const;
    void waitForReleasedKeys();
    Status send(const std::vector<KeyStroke>& strokes);
    Status lostFocus();

    std::unique_ptr<Desktop> m_desktop;
    Timing m_timing;
    WindowHandle m_target = 0;
    bool m_lost = false;              // the target lost the foreground since activate()
    bool m_inFrontAfterKeys = false;  // the target was in front right after the last keys went in
};

}  // namespace tastalo::platform::win32
