#include "platform/x11/x11_keyboard_target.h"

#include <cstdio>

#include "platform/title_match.h"
#include "platform/x11/failure_codes.h"

namespace tastalo::platform::x11 {

namespace {

std::string quoted(std::u32string_view title) { return "\"" + toUtf8(title) + "\""; }

}  // namespace

X11KeyboardTarget::X11KeyboardTarget(Options options)
    : m_activator(m_connection, m_directory, options.activation),
      m_session(m_connection, m_ping, options.keyboard) {}

X11KeyboardTarget::~X11KeyboardTarget() { finish(); }

Status X11KeyboardTarget::activate(std::u32string_view title) {
    finish();
    if (Status opened = m_connection.open(); !opened.ok()) return opened;
    const std::vector<WindowCandidate> candidates = m_directory.candidates();
    const auto chosen = chooseWindow(candidates, title);
    if (!chosen) return failure(kTargetWindowMissing, "Nessuna finestra con il titolo " + quoted(title) + ".");
    const auto window = static_cast<::Window>(candidates[*chosen].id);
    if (!m_activator.activate(window) || !m_activator.watch(window)) {
        m_activator.stopWatching();
        return failure(kTargetWindowMissing,
                       "La finestra " + quoted(candidates[*chosen].title) + " non è diventata attiva.");
    }
    m_target = window;
    m_session.begin(window);
    return Status::success();
}

bool X11KeyboardTarget::targetHasFocus() {
    return m_target != 0 && m_connection.isOpen() && m_activator.isActive(m_target);
}

Status X11KeyboardTarget::readyToType() {
    if (m_target == 0) return failure(kTargetWindowMissing, "Nessuna finestra di destinazione attivata.");
    // Keys go to whatever window has the focus, so none is sent once the
    // focus may have left the activated window. The server's focus events
    // tell when to ask; most calls need no round trip.
    if (m_activator.mayHaveMoved() && !m_activator.isActive(m_target))
        return failure(kTargetLostFocus, "La finestra di destinazione non è più attiva.");
    return Status::success();
}

Status X11KeyboardTarget::typeText(std::u32string_view text) {
    for (char32_t c : text) {
        if (!isTypeable(c)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            return failure(kCharacterNotTypeable,
                           std::string("Il carattere ") + code + " non può essere digitato.");
        }
    }
    if (Status ready = readyToType(); !ready.ok()) return ready;
    return m_session.type(text);
}

Status X11KeyboardTarget::pressEnter() {
    if (Status ready = readyToType(); !ready.ok()) return ready;
    return m_session.type(U"\r");
}

void X11KeyboardTarget::finish() {
    m_session.end();
    if (m_connection.isOpen()) m_activator.stopWatching();
    m_target = 0;
}

}  // namespace tastalo::platform::x11
