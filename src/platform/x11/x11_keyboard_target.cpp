#include "platform/x11/x11_keyboard_target.h"

#include <thread>

#include "platform/keyboard_target.h"
#include "platform/title_match.h"

namespace tastalo::platform::x11 {

X11KeyboardTarget::X11KeyboardTarget(Options options)
    : m_activator(m_connection, m_directory, options.activation),
      m_session(m_connection, m_ping, m_guard, m_operatorKeys, options.keyboard),
      m_keysReleased(options.keysReleased) {}

X11KeyboardTarget::~X11KeyboardTarget() { finish(); }

Status X11KeyboardTarget::activate(std::u32string_view title) {
    finish();
    if (Status opened = m_connection.open(); !opened.ok()) return opened;
    const std::vector<WindowCandidate> candidates = m_directory.candidates();
    const auto chosen = chooseWindow(candidates, title);
    if (!chosen) {
        // Wayland windows do not show on XWayland's display: the program may
        // well be open, just out of reach.
        if (inWaylandSession())
            return failure(kTargetOutOfReach, std::u32string(title), "no X11 window with this title");
        return failure(kTargetWindowMissing, std::u32string(title), "no such window");
    }
    if (Status released = awaitReleasedKeys(); !released.ok()) return released;
    // From here on a key the operator presses may land among ours. One
    // pressed after that look and before the watch began would be seen by
    // neither: look once more.
    m_operatorKeys.watch();
    if (Status released = awaitReleasedKeys(); !released.ok()) {
        m_operatorKeys.stop();
        return released;
    }
    const auto window = static_cast<::Window>(candidates[*chosen].id);
    if (!m_activator.activate(window) || !m_guard.watch(window, m_activator.viaManager())) {
        m_guard.stop();
        return failure(kTargetNotActivated, candidates[*chosen].title, "did not become active");
    }
    m_target = window;
    m_session.begin(window);
    return Status::success();
}

Status X11KeyboardTarget::awaitReleasedKeys() {
    // The send starts on a key press or a click: the key's release belongs
    // to the window it was pressed in, and a key still down when ours go
    // out would join them.
    const auto deadline = std::chrono::steady_clock::now() + m_keysReleased;
    for (;;) {
        if (!m_operatorKeys.survey()) return Status::success();
        const std::vector<unsigned int> held = m_operatorKeys.heldByOperator();
        if (held.empty() && m_operatorKeys.heldByXTestOnly().empty()) return Status::success();
        if (std::chrono::steady_clock::now() >= deadline) {
            // Keys down through XTest alone are nobody's fingers: the
            // keyboard session lets them go before it types.
            if (held.empty()) return Status::success();
            return keysHeld(held, [this](unsigned int keycode) { return m_operatorKeys.name(keycode); });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::optional<TitleMatch> X11KeyboardTarget::lookUp(std::u32string_view title) {
    if (!m_connection.open().ok()) return std::nullopt;
    return titleMatch(m_directory.candidates(), title);
}

void X11KeyboardTarget::expectTexts(const std::vector<std::u32string>& texts) {
    if (m_target != 0) m_session.expect(texts);
}

bool X11KeyboardTarget::targetHasFocus() {
    return m_target != 0 && m_connection.isOpen() && m_guard.stillHeld();
}

Status X11KeyboardTarget::readyToType() {
    if (m_target == 0) return failure(kTargetWindowMissing, {}, "no window activated");
    return Status::success();
}

Status X11KeyboardTarget::typeText(std::u32string_view text) {
    if (Status typeable = checkTypeable(text); !typeable.ok()) return typeable;
    if (Status ready = readyToType(); !ready.ok()) return ready;
    return m_session.type(text);
}

Status X11KeyboardTarget::pressEnter() {
    if (Status ready = readyToType(); !ready.ok()) return ready;
    return m_session.type(U"\r");
}

Status X11KeyboardTarget::confirmDelivery() {
    if (Status ready = readyToType(); !ready.ok()) return ready;
    return m_session.confirmDelivery();
}

Status X11KeyboardTarget::requestDelivery() {
    if (Status ready = readyToType(); !ready.ok()) return ready;
    return m_session.requestDelivery();
}

std::optional<std::size_t> X11KeyboardTarget::entersDelivered() {
    if (m_target == 0) return std::nullopt;
    return m_session.entersDelivered();
}

void X11KeyboardTarget::finish() {
    m_session.end();
    if (m_connection.isOpen()) {
        m_guard.stop();
        m_operatorKeys.stop();
    }
    m_target = 0;
}

}  // namespace tastalo::platform::x11
