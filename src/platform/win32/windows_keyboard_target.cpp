#include "platform/win32/windows_keyboard_target.h"

#include <utility>

#include "platform/title_match.h"

namespace tastalo::platform::win32 {
WindowsKeyboardTarget::WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop)
    : WindowsKeyboardTarget(std::move(desktop), Timing{}) {}

WindowsKeyboardTarget::WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop, Timing timing)
    : m_desktop(std::move(desktop)), m_timing(timing) {}

Status WindowsKeyboardTarget::activate(std::u32string_view title) {
    m_target = 0;
    m_lost = false;
    m_inFrontAfterKeys = false;
    waitForReleasedKeys();
    const std::vector<TopLevelWindow> windows = m_desktop->topLevelWindows();
    std::vector<WindowCandidate> candidates;
    candidates.reserve(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        // Listed topmost first: the higher in the stack, the more recently active.
        candidates.push_back({windows[i].handle, windows[i].title, windows.size() - i});
    }
    const std::optional<std::size_t> chosen = chooseWindow(candidates, title);
    if (!chosen) return failure(kTargetWindowMissing, std::u32string(title), "no such window");
    const WindowHandle window = windows[*chosen].handle;
    if (m_desktop->runsAboveThisProcess(window))
        return failure(kTargetAboveThisProcess, windows[*chosen].title);

    for (int attempt = 0; attempt < m_timing.attempts; ++attempt) {
        // Keys sent to a minimised window reach no control and are lost.
        if (m_desktop->isMinimised(window)) m_desktop->restore(window);
        const bool accepted = attempt == 0 ? m_desktop->setForegroundWindow(window)
                                           : m_desktop->setForegroundWindowAttached(window);
        if (accepted && waitUntilForeground(window)) {
            m_target = window;
            return Status::success();
        }
        if (!accepted) m_desktop->pause(m_timing.poll);
    }
    return failure(kTargetNotActivated, windows[*chosen].title, "did not become active");
}

void WindowsKeyboardTarget::waitForReleasedKeys() {
    // The send starts on a key press: its release belongs to the window it was
    // pressed in, and a key still down would mix with the keys typed.
    for (auto waited = std::chrono::milliseconds{0};
         m_desktop->anyKeyHeld() && waited < m_timing.keysReleased; waited += m_timing.poll) {
        m_desktop->pause(m_timing.poll);
    }
}

bool WindowsKeyboardTarget::waitUntilForeground(WindowHandle window) {
    const auto polls = m_timing.poll.count() > 0 ? m_timing.settle / m_timing.poll : 0;
    for (auto i = decltype(polls){0};; ++i) {
        if (m_desktop->foregroundWindow() == window) return true;
        if (i >= polls) return false;
        m_desktop->pause(m_timing.poll);
    }
}

bool WindowsKeyboardTarget::targetHasFocus() {
    if (m_target == 0 || m_lost) return false;
    m_lost = m_desktop->foregroundWindow() != m_target;
    return !m_lost;
}

Status WindowsKeyboardTarget::lostFocus() { return failure(kTargetLostFocus); }

Status WindowsKeyboardTarget::requireTarget() const {
    if (m_target != 0) return Status::success();
    return failure(kTargetWindowMissing, {}, "no window activated");
}

Status WindowsKeyboardTarget::typeText(std::u32string_view text) {
    if (Status status = requireTarget(); !status.ok()) return status;
    if (const auto position = firstUntypeable(text)) {
        Status untypeable = failure(kCharacterNotTypeable, std::u32string(1, text[*position]));
        untypeable.position = *position + 1;
        return untypeable;
    }
    return send(strokesForText(text));
}

Status WindowsKeyboardTarget::pressEnter() {
    if (Status status = requireTarget(); !status.ok()) return status;
    return send(strokesForEnter());
}

Status WindowsKeyboardTarget::send(const std::vector<KeyStroke>& strokes) {
    if (strokes.empty()) return Status::success();
    m_inFrontAfterKeys = false;
    std::size_t next = 0;
    while (next < strokes.size()) {
        // A chunk holds kKeysInFlight keystrokes (a surrogate pair is one)
        // and ends with every key up, so none is left down while the
        // foreground is checked.
        std::size_t end = next, keystrokes = 0;
        int down = 0;
        while (end < strokes.size() && keystrokes < kKeysInFlight) {
            const KeyStroke& stroke = strokes[end++];
            down += stroke.release ? -1 : 1;
            const bool firstHalf =
                stroke.kind == KeyStroke::Kind::Character && stroke.code >= 0xD800 && stroke.code <= 0xDBFF;
            if (down == 0 && !firstHalf) ++keystrokes;
        }
        if (!targetHasFocus()) return lostFocus();
        std::vector<KeyStroke> chunk = releaseOf(m_desktop->heldModifiers());
        chunk.insert(chunk.end(), strokes.begin() + static_cast<std::ptrdiff_t>(next),
                     strokes.begin() + static_cast<std::ptrdiff_t>(end));
        const std::size_t taken = m_desktop->inject(chunk);
        if (taken < chunk.size()) {
            // Appended, not `"..." + std::string&&`, which GCC 12 misreads
            // as an overlapping copy (-Wrestrict) at -O2.
            std::string detail = "SendInput took ";
            detail += std::to_string(taken);
            detail += " of ";
            detail += std::to_string(chunk.size());
            detail += " key events";
            return failure(kInputRefused, {}, std::move(detail));
        }
        next = end;
    }
    // SendInput says nothing of where its keys went: the foreground right
    // after them is the best sign there is. Taken now, not when the delivery
    // is confirmed after the pause: a window that comes in front during the
    // pause got none of these keys.
    m_inFrontAfterKeys = targetHasFocus();
    return Status::success();
}

Status WindowsKeyboardTarget::confirmDelivery() {
    if (Status status = requireTarget(); !status.ok()) return status;
    // The foreground may have left only after the last keys went in: then
    // they arrived whole, and the next text or Enter stops.
    return m_inFrontAfterKeys || targetHasFocus() ? Status::success() : lostFocus();
}

void WindowsKeyboardTarget::finish() {
    m_target = 0;
    m_lost = false;
    m_inFrontAfterKeys = false;
}

}  // namespace tastalo::platform::win32
