#include "platform/x11/x11_keyboard_target.h"

#include <cstdio>

#include "platform/title_match.h"
#include "platform/x11/failure_codes.h"

namespace tastalo::platform::x11 {

namespace {

// Appends rather than prepends: GCC 12 misreads `"..." + std::string&&` as an
// overlapping copy (-Wrestrict) at -O2.
std::string quoted(std::u32string_view title) {
    std::string text = "\"";
    text += toUtf8(title);
    text += '"';
    return text;
}

}  // namespace

X11KeyboardTarget::X11KeyboardTarget(Options options)
    : m_activator(m_connection, m_directory, options.activation),
      m_session(m_connection, m_ping, m_guard, options.keyboard) {}

X11KeyboardTarget::~X11KeyboardTarget() { finish(); }

Status X11KeyboardTarget::activate(std::u32string_view title) {
    finish();
    if (Status opened = m_connection.open(); !opened.ok()) return opened;
    const std::vector<WindowCandidate> candidates = m_directory.candidates();
    const auto chosen = chooseWindow(candidates, title);
    if (!chosen) return failure(kTargetWindowMissing, "Nessuna finestra con il titolo " + quoted(title) + ".");
    const auto window = static_cast<::Window>(candidates[*chosen].id);
    if (!m_activator.activate(window) || !m_guard.watch(window, m_activator.viaManager())) {
        m_guard.stop();
        return failure(kTargetWindowMissing,
                       "La finestra " + quoted(candidates[*chosen].title) + " non è diventata attiva.");
    }
    m_target = window;
    m_session.begin(window);
    return Status::success();
}

void X11KeyboardTarget::expectTexts(const std::vector<std::u32string>& texts) {
    if (m_target != 0) m_session.expect(texts);
}

bool X11KeyboardTarget::targetHasFocus() {
    return m_target != 0 && m_connection.isOpen() && m_guard.stillHeld();
}

Status X11KeyboardTarget::readyToType() {
    if (m_target == 0) return failure(kTargetWindowMissing, "Nessuna finestra di destinazione attivata.");
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

Status X11KeyboardTarget::confirmDelivery() {
    if (Status ready = readyToType(); !ready.ok()) return ready;
    return m_session.confirmDelivery();
}

void X11KeyboardTarget::finish() {
    m_session.end();
    if (m_connection.isOpen()) m_guard.stop();
    m_target = 0;
}

}  // namespace tastalo::platform::x11
