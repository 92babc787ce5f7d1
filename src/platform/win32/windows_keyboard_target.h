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
//
// SendInput returns before the system has routed its keys, and the window
// is chosen only then: a key routed after another window came to the front
// goes to that window. So every batch of keys is watched where it is routed
// (the desktop's watch swallows any key bound elsewhere) and the call returns
// only once each key has been let through to the target and the target has
// read its input: what a call reports as sent has been taken.
class WindowsKeyboardTarget final : public KeyboardTarget {
public:
    struct Timing {
        int attempts = 5;                              // activation requests at most
        std::chrono::milliseconds poll{10};            // between two foreground checks
        std::chrono::milliseconds settle{200};         // wait after each request
        std::chrono::milliseconds keysReleased{1000};  // wait for the operator's keys to come up, then refuse
        // The time a batch of keys may take to be routed, and then read by
        // the target: the base plus so much per key event (a slow target
        // reads a couple of hundred a second).
        std::chrono::milliseconds takenBase{2000};
        std::chrono::milliseconds takenPerKey{10};
    };

    // Keys sent at most between two checks of the foreground window.
    static constexpr std::size_t kKeysInFlight = 16;

    explicit WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop);
    WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop, Timing timing);

    Status activate(std::u32string_view title) override;
    bool targetHasFocus() override;
    Status typeText(std::u32string_view text) override;
    Status pressEnter() override;
    bool deliveryUnwatched() const override;
    std::size_t operatorKeysHeldBack() const override;
    Status confirmDelivery() override;
    void finish() override;

private:
    bool waitUntilForeground(WindowHandle window);
    Status requireTarget() const;
    Status waitForReleasedKeys();
    // `awaitRead`: returns only once the target has read every key sent.
    Status send(const std::vector<KeyStroke>& strokes, bool awaitRead);
    std::chrono::milliseconds limitFor(std::size_t keys) const;
    Status awaitRouted();
    Status awaitTaken();
    Status lostFocus();
    void endWatch();

    std::unique_ptr<Desktop> m_desktop;
    Timing m_timing;
    WindowHandle m_target = 0;
    bool m_lost = false;              // the target lost the foreground since activate()
    bool m_inFrontAfterKeys = false;  // the target was in front right after the last keys went in
    bool m_untaken = false;           // watched: keys of this send were not seen taken
    bool m_watched = false;           // the desktop watches this send's keys
    bool m_watchRefused = false;      // the desktop refused the watch for this send
    std::size_t m_injected = 0;       // key events injected since activate()
    std::size_t m_unread = 0;         // of those, not yet seen read by the target
    std::size_t m_heldBack = 0;       // the operator's key presses the watch held back since activate()
};

}  // namespace tastalo::platform::win32
