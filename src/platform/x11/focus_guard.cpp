#include "platform/x11/focus_guard.h"

#include <algorithm>

namespace tastalo::platform::x11 {

namespace {
constexpr long kWatchedEvents = FocusChangeMask | StructureNotifyMask;
}  // namespace

bool FocusGuard::watch(::Window window, bool viaManager) {
    stop();
    m_target = window;
    m_viaManager = viaManager;
    m_inside = {window};
    XSelectInput(m_connection.display(), window, kWatchedEvents);
    if (m_viaManager) m_connection.listenOnRoot(PropertyChangeMask);
    return confirm();
}

void FocusGuard::stop() {
    if (m_target == 0) return;
    Display* display = m_connection.display();
    const bool earlierError = m_connection.hasError();
    XSelectInput(display, m_target, NoEventMask);
    if (m_viaManager) m_connection.stopListeningOnRoot(PropertyChangeMask);
    // The window may be gone by now: that refusal is nobody's failure.
    if (!m_connection.sync() && !earlierError) m_connection.clearErrors();
    XEvent event;
    while (XCheckWindowEvent(display, m_target, kWatchedEvents, &event)) {
    }
    while (XCheckTypedWindowEvent(display, m_connection.root(), PropertyNotify, &event)) {
    }
    m_target = 0;
    m_lostAfter.reset();
    m_away.clear();
    m_confirmedUpTo = 0;
    m_inside.clear();
}

bool FocusGuard::confirm() {
    if (m_target == 0) return false;
    Display* display = m_connection.display();
    const unsigned long serial = NextRequest(display);
    ::Window focus = 0;
    int revert = 0;
    // Its reply comes after every event the server sent us before handling it.
    XGetInputFocus(display, &focus, &revert);
    readReports();
    // The focus is elsewhere and no report said when it went: none of the keys
    // sent since the last confirmation can be trusted to have arrived.
    const bool away = !m_away.empty() && !m_away.back().to;
    if (!away && !focusWithinTarget(focus)) lostAfter(m_confirmedUpTo);
    m_confirmedUpTo = serial;
    return !m_lostAfter;
}

bool FocusGuard::stillHeld() {
    if (m_target == 0 || m_lostAfter) return false;
    XEventsQueued(m_connection.display(), QueuedAfterReading);
    readReports();
    return !m_lostAfter;
}

void FocusGuard::readReports() {
    Display* display = m_connection.display();
    XEvent event;
    while (XCheckWindowEvent(display, m_target, kWatchedEvents, &event)) {
        switch (event.type) {
            case FocusOut:
                // Into one of the target's own windows it is still the target. A
                // grab by another client (a menu, a window switcher) counts as
                // leaving: keys go to the grabbing client then.
                if (event.xfocus.detail != NotifyInferior) lostAfter(event.xfocus.serial);
                break;
            case FocusIn:
                // Back from outside (not from one of its own windows, nor
                // only under the pointer): keys after this go in again.
                if (event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer &&
                    event.xfocus.mode != NotifyGrab)
                    backAfter(event.xfocus.serial);
                break;
            case UnmapNotify:
            case DestroyNotify: lostAfter(event.xany.serial); break;
            default: break;
        }
    }
    if (!m_viaManager) return;
    const Atom active = m_connection.atom("_NET_ACTIVE_WINDOW");
    std::optional<unsigned long> changedAt;
    while (XCheckTypedWindowEvent(display, m_connection.root(), PropertyNotify, &event)) {
        if (event.xproperty.atom == active && !changedAt) changedAt = event.xproperty.serial;
    }
    if (!changedAt) return;
    // The manager naming another window means the operator chose one: stop,
    // even if the input focus has not moved (yet).
    const auto now = m_connection.longs(m_connection.root(), active, XA_WINDOW);
    if (!now || now->empty() || (*now)[0] != m_target) lostAfter(*changedAt);
}

void FocusGuard::lostAfter(unsigned long serial) {
    if (!m_lostAfter || serial < *m_lostAfter) m_lostAfter = serial;
    if (m_away.empty() || m_away.back().to) m_away.push_back({serial, std::nullopt});
}

void FocusGuard::backAfter(unsigned long serial) {
    if (!m_away.empty() && !m_away.back().to) m_away.back().to = serial;
}

bool FocusGuard::reachedAll(const std::vector<unsigned long>& serials) const {
    return std::none_of(serials.begin(), serials.end(), [this](unsigned long serial) {
        return std::any_of(m_away.begin(), m_away.end(), [serial](const Away& away) {
            return serial > away.from && (!away.to || serial <= *away.to);
        });
    });
}

bool FocusGuard::focusWithinTarget(::Window focus) {
    if (std::find(m_inside.begin(), m_inside.end(), focus) != m_inside.end()) return true;
    if (!m_connection.isWithin(focus, m_target)) return false;
    m_inside.push_back(focus);
    return true;
}

}  // namespace tastalo::platform::x11
