#include "platform/win32/windows_keyboard_target.h"

#include <cstdio>
#include <string>
#include <utility>

#include "platform/title_match.h"

namespace tastalo::platform::win32 {
WindowsKeyboardTarget::WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop)
    : WindowsKeyboardTarget(std::move(desktop), Timing{}) {}

WindowsKeyboardTarget::WindowsKeyboardTarget(std::unique_ptr<Desktop> desktop, Timing timing)
    : m_desktop(std::move(desktop)), m_timing(timing) {}

Status WindowsKeyboardTarget::activate(std::u32string_view title) {
    finish();
    m_heldBack = 0;
    if (Status status = waitForReleasedKeys(); !status.ok()) return status;
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
            // Before the first key: every key of the send is watched.
            m_watched = m_desktop->startWatch(window);
            m_watchRefused = !m_watched;
            return Status::success();
        }
        if (!accepted) m_desktop->pause(m_timing.poll);
    }
    return failure(kTargetNotActivated, windows[*chosen].title, "did not become active");
}

namespace {

// The key's name for the operator: the system's, else its virtual-key code.
std::u32string nameOf(Desktop& desktop, std::uint16_t key) {
    std::u32string name = desktop.keyName(key);
    if (!name.empty()) return name;
    char code[16];
    std::snprintf(code, sizeof code, "VK 0x%02X", static_cast<unsigned>(key));
    return std::u32string(code, code + std::char_traits<char>::length(code));
}

}  // namespace

Status WindowsKeyboardTarget::waitForReleasedKeys() {
    // The send starts on a key press: its release belongs to the window it was
    // pressed in, and a key still down would mix with the keys typed (the
    // watch holds back only presses made while it runs).
    std::vector<std::uint16_t> held = m_desktop->heldKeys();
    for (auto waited = std::chrono::milliseconds{0}; !held.empty() && waited < m_timing.keysReleased;
         waited += m_timing.poll) {
        m_desktop->pause(m_timing.poll);
        held = m_desktop->heldKeys();
    }
    if (held.empty()) return Status::success();
    return keysHeld(held, [this](std::uint16_t key) { return nameOf(*m_desktop, key); });
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
    // The text's keys are read with its Enter: one wait for the target a
    // barcode, not two (a target repaints each time it has read all).
    return send(strokesForText(text), false);
}

Status WindowsKeyboardTarget::pressEnter() {
    if (Status status = requireTarget(); !status.ok()) return status;
    return send(strokesForEnter(), true);
}

Status WindowsKeyboardTarget::send(const std::vector<KeyStroke>& strokes, bool awaitRead) {
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
        m_injected += taken;
        m_unread += taken;
        // Whatever ends this call, the keys injected have been taken or
        // swallowed by then.
        Status status = awaitRouted();
        if (status.ok() && (taken < chunk.size() || (awaitRead && end == strokes.size())))
            status = awaitTaken();
        if (!status.ok()) {
            m_untaken = true;
            return status;
        }
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
    // Unwatched, SendInput says nothing of where its keys went: the
    // foreground right after them is the best sign there is. Taken now, not
    // when the delivery is confirmed after the pause: a window that comes in
    // front during the pause got none of these keys.
    m_inFrontAfterKeys = targetHasFocus();
    return Status::success();
}

std::chrono::milliseconds WindowsKeyboardTarget::limitFor(std::size_t keys) const {
    return m_timing.takenBase + m_timing.takenPerKey * static_cast<std::chrono::milliseconds::rep>(keys);
}

Status WindowsKeyboardTarget::awaitRouted() {
    if (!m_watched) return Status::success();
    const std::chrono::milliseconds limit = limitFor(m_unread);
    const KeysSeen seen = m_desktop->waitForKeysSeen(m_injected, limit);
    if (seen.blocked > 0) {
        std::string detail = "another program's keyboard hook held back ";
        detail += std::to_string(seen.blocked);
        detail += " key events";
        return failure(kInputRefused, {}, std::move(detail));
    }
    if (seen.swallowed > 0) {
        // A key would have gone to another window: it and every key after
        // it are swallowed, and the send stops once those let through
        // before it have been read (or dropped) by the target.
        m_lost = true;
        m_desktop->waitUntilRead(m_target, limit);
        m_unread = 0;
        return lostFocus();
    }
    if (seen.total() < m_injected) {
        // The rest, should it still come, must go nowhere.
        m_desktop->swallowRest();
        std::string detail = "the system routed ";
        detail += std::to_string(seen.total());
        detail += " of ";
        detail += std::to_string(m_injected);
        detail += " key events within ";
        detail += std::to_string(limit.count());
        detail += " ms";
        return failure(kKeysNotTaken, {}, std::move(detail));
    }
    return Status::success();
}

Status WindowsKeyboardTarget::awaitTaken() {
    if (m_unread == 0) return Status::success();
    const std::chrono::milliseconds limit = limitFor(m_unread);
    m_unread = 0;
    // Windows hands a key to its window as it routes it: once let through to
    // the target, it is the target's. Wine chooses the window only as the
    // target reads the key, and drops those still unread when the target's
    // thread learns that another window came to the front. There the keys
    // count once read, with the target still in front, or still the active
    // window of its thread: then its thread had read them all before it
    // took note. Otherwise no one can tell whether it read them all.
    const TargetReading reading = m_desktop->waitUntilRead(m_target, limit);
    if (reading == TargetReading::StillReading) {
        if (!targetHasFocus()) return lostFocus();
        std::string detail = "the target had not read its keys after ";
        detail += std::to_string(limit.count());
        detail += " ms";
        return failure(kKeysNotTaken, {}, std::move(detail));
    }
    // Unwatched, the foreground after the batch is all there is to judge by
    // (see send()); the reading only keeps the pace of the target.
    if (!m_watched) return Status::success();
    if (!targetHasFocus() && m_desktop->routesLate() &&
        !(reading == TargetReading::Idle && m_desktop->activeInItsThread(m_target)))
        return failure(kTargetLostFocusReading);
    if (reading == TargetReading::CannotTell)
        return failure(kKeysNotTaken, {}, "the target's reading of its keys cannot be watched");
    return Status::success();
}

bool WindowsKeyboardTarget::deliveryUnwatched() const { return m_watchRefused; }

std::size_t WindowsKeyboardTarget::operatorKeysHeldBack() const { return m_heldBack; }

Status WindowsKeyboardTarget::confirmDelivery() {
    if (Status status = requireTarget(); !status.ok()) return status;
    // Watched, each text and Enter returned only once its keys were taken
    // by the target: a window in front since then got none of them.
    if (m_watched) return m_untaken ? lostFocus() : Status::success();
    // The foreground may have left only after the last keys went in: then
    // they arrived whole, and the next text or Enter stops.
    return m_inFrontAfterKeys || targetHasFocus() ? Status::success() : lostFocus();
}

void WindowsKeyboardTarget::endWatch() {
    if (m_watched &&
        m_desktop->waitForKeysSeen(m_injected, std::chrono::milliseconds{0}).total() < m_injected) {
        // Keys still on their way when the send ends go nowhere: the watch
        // swallows them before it is removed.
        m_desktop->swallowRest();
        m_desktop->waitForKeysSeen(m_injected, m_timing.takenBase);
    }
    // Keys let through but not yet read (a send stopped within a text) are
    // read, or dropped, before anything else comes in front.
    if (m_watched && m_unread > 0) m_desktop->waitUntilRead(m_target, limitFor(m_unread));
    // Counted to the end of the watch, told after it (in the send's last message).
    if (m_watched) m_heldBack = m_desktop->operatorKeysHeldBack();
    m_desktop->stopWatch();
    m_watched = false;
    m_watchRefused = false;
    m_injected = 0;
    m_unread = 0;
}

void WindowsKeyboardTarget::finish() {
    endWatch();
    m_target = 0;
    m_lost = false;
    m_untaken = false;
    m_inFrontAfterKeys = false;
}

}  // namespace tastalo::platform::win32
