#include "platform/session/session_keyboard_target.h"

#include <string_view>

namespace tastalo::platform::session {

namespace {

bool set(const char* value) { return value && *value; }

Status noWindowActivated() { return failure(kTargetWindowMissing, {}, "no window activated"); }

}  // namespace

std::vector<Backend> backendsFor(const char* display, const char* waylandDisplay, const char* chosen) {
    if (set(chosen) && std::string_view(chosen) == "wayland") return {Backend::Wayland};
    if (set(chosen) && std::string_view(chosen) == "x11") return {Backend::X11};
    if (set(waylandDisplay) && !set(display)) return {Backend::Wayland};
    if (set(waylandDisplay)) return {Backend::X11, Backend::Wayland};
    // No session at all: X11's own failure says there is no display.
    return {Backend::X11};
}

SessionKeyboardTarget::SessionKeyboardTarget(std::vector<Backend> order, Factory make, bool bySetting)
    : m_order(std::move(order)),
      m_make(std::move(make)),
      m_backends(m_order.size()),
      m_bySetting(bySetting) {}

KeyboardTarget& SessionKeyboardTarget::backend(std::size_t index) {
    if (!m_backends[index]) m_backends[index] = m_make(m_order[index]);
    return *m_backends[index];
}

Status SessionKeyboardTarget::activate(std::u32string_view title) {
    finish();
    std::size_t start = 0;
    if (m_order.size() > 1) {
        const auto firstSees = backend(0).lookUp(title);
        const auto laterSees = backend(1).lookUp(title);
        if (laterSees && *laterSees != TitleMatch::None && (!firstSees || *laterSees > *firstSees)) start = 1;
    }
    Status first;
    for (std::size_t i = start; i < m_order.size(); ++i) {
        KeyboardTarget& target = backend(i);
        Status status = target.activate(title);
        if (status.ok()) {
            // Before the first key: the backend that typed last may have left
            // the keyboard in a state this one must not find.
            for (std::size_t other = 0; other < m_backends.size(); ++other) {
                if (other != i && m_backends[other]) m_backends[other]->handOver();
            }
            m_active = &target;
            return status;
        }
        if (i == start) {
            first = status;
        } else if (first.code == kTargetOutOfReach && status.code != kTargetOutOfReach &&
                   status.code != kKeyboardUnavailable) {
            // The later backend sees every window: its answer is the true one.
            return status;
        }
        // A window out of reach, or one the window manager would not bring
        // to the front for X11 (sway by default), may well be reached by the
        // next backend.
        if (status.code != kTargetOutOfReach && status.code != kTargetNotActivated) break;
    }
    if (m_bySetting && first.code == kTargetOutOfReach) first.code = kOutOfReachBySetting;
    return first;
}

void SessionKeyboardTarget::expectTexts(const std::vector<std::u32string>& texts) {
    if (m_active) m_active->expectTexts(texts);
}

bool SessionKeyboardTarget::targetHasFocus() { return m_active && m_active->targetHasFocus(); }

Status SessionKeyboardTarget::focusLoss() { return m_active ? m_active->focusLoss() : noWindowActivated(); }

Status SessionKeyboardTarget::typeText(std::u32string_view text) {
    return m_active ? m_active->typeText(text) : noWindowActivated();
}

Status SessionKeyboardTarget::pressEnter() { return m_active ? m_active->pressEnter() : noWindowActivated(); }

bool SessionKeyboardTarget::deliveryUnwatched() const { return m_active && m_active->deliveryUnwatched(); }

std::size_t SessionKeyboardTarget::operatorKeysHeldBack() const {
    return m_active ? m_active->operatorKeysHeldBack() : 0;
}

Status SessionKeyboardTarget::confirmDelivery() {
    return m_active ? m_active->confirmDelivery() : noWindowActivated();
}

Status SessionKeyboardTarget::requestDelivery() {
    return m_active ? m_active->requestDelivery() : noWindowActivated();
}

std::optional<std::size_t> SessionKeyboardTarget::entersDelivered() {
    return m_active ? m_active->entersDelivered() : std::nullopt;
}

void SessionKeyboardTarget::finish() {
    if (m_active) m_active->finish();
    m_active = nullptr;
}

}  // namespace tastalo::platform::session
