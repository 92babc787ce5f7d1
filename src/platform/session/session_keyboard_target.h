#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/keyboard_target.h"

// On Linux the keystrokes go through X11 or through a Wayland compositor;
// which one depends on the session the program was started in.
namespace tastalo::platform::session {

enum class Backend { X11, Wayland };

// The backends to try, in order, given the session's DISPLAY and
// WAYLAND_DISPLAY, or the one named by `chosen` ("x11" or "wayland"). X11
// comes first where both exist: it is the proven one, and XWayland shows it
// every X11 window; Wayland then reaches the windows X11 cannot see.
std::vector<Backend> backendsFor(const char* display, const char* waylandDisplay, const char* chosen);

// Tries the backends in order at each activate(): the next one only when the
// window is out of the current one's reach or was not brought to the front.
// A later backend goes first when it sees a window whose title matches
// better than any the first one sees: X11 sees only X11 windows, and must
// not pick "Korvedo 2" when a Wayland window is titled "Korvedo". The
// backend that activated the window serves the rest of the send.
class SessionKeyboardTarget final : public KeyboardTarget {
public:
    using Factory = std::function<std::unique_ptr<KeyboardTarget>(Backend)>;

    // `bySetting`: the order is the one backend the operator's setting
    // chose, and a window out of its reach is out of reach because of it.
    SessionKeyboardTarget(std::vector<Backend> order, Factory make, bool bySetting = false);

    Status activate(std::u32string_view title) override;
    void expectTexts(const std::vector<std::u32string>& texts) override;
    bool targetHasFocus() override;
    Status focusLoss() override;
    Status typeText(std::u32string_view text) override;
    Status pressEnter() override;
    bool deliveryUnwatched() const override;
    std::size_t operatorKeysHeldBack() const override;
    Status confirmDelivery() override;
    Status requestDelivery() override;
    std::optional<std::size_t> entersDelivered() override;
    void finish() override;

private:
    KeyboardTarget& backend(std::size_t index);

    std::vector<Backend> m_order;
    Factory m_make;
    std::vector<std::unique_ptr<KeyboardTarget>> m_backends;  // made when first needed
    KeyboardTarget* m_active = nullptr;
    bool m_bySetting = false;
};

}  // namespace tastalo::platform::session
