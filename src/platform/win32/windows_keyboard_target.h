#pragma once

#include <chrono>
#include <memory>

#include "platform/keyboard_target.h"
#include "platform/win32/desktop.h"

namespace tastalo::platform::win32 {

// The keystroke services on a Windows desktop: activation by title with
// SetForegroundWindow (retried while attached to the foreground thread when
// refused), typing with SendInput as Unicode characters.
class WindowsKeyboardTarget final : public KeyboardTarget {
public:
    struct Timing {
        int attempts = 5;                       // activation requests at most
        std::chrono::milliseconds poll{10};     // between two foreground checks
        std::chrono::milliseconds settle{200};  // wait after each request
    };

    explicit WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop);
    WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop, Timing timing);

    Status activate(std::u32string_view title) override;
    bool targetHasFocus() override;
    Status typeText(std::u32string_view text) override;
    Status pressEnter() override;
    void finish() override;

private:
    bool waitUntilForeground(WindowHandle window);
    Status requireTarget() const;
    Status send(const std::vector<KeyStroke>& strokes);

    std::unique_ptr<Desktop> m_desktop;
    Timing m_timing;
    WindowHandle m_target = 0;
};

}  // namespace tastalo::platform::win32
