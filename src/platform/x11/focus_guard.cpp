#include "platform/x11/focus_guard.h"

#include <algorithm>
#include <cstdlib>

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
    dropQuestions();
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

void FocusGuard::ask() {
    if (m_target == 0) return;
    Display* display = m_connection.display();
    // Through XCB, on the same connection: ordered with Xlib's requests, and
    // its answer can wait. The flush gives the connection back to Xlib, whose
    // serials then count this request too.
    const xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(XGetXCBConnection(display));
    XFlush(display);
    m_questions.push_back({cookie.sequence, XNextRequest(display) - 1});
}

bool FocusGuard::readOldest() {
    if (m_target == 0) return false;
    if (m_questions.empty()) ask();
    const Question question = m_questions.front();
    m_questions.pop_front();
    xcb_generic_error_t* error = nullptr;
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(XGetXCBConnection(m_connection.display()), {question.cookie}, &error);
    const ::Window focus = reply ? reply->focus : 0;
    std::free(reply);
    std::free(error);
    // Its answer comes after every event the server sent us before handling it.
    readReports();
    // The focus is elsewhere and no report said when it went: none of the keys
    // sent since the last answer can be trusted to have arrived.
    const bool away = !m_away.empty() && !m_away.back().to;
    if (!away && !focusWithinTarget(focus)) lostAfter(m_confirmedUpTo);
    m_confirmedUpTo = question.serial;
    return !m_lostAfter;
}

bool FocusGuard::confirm() {
    if (m_target == 0) return false;
    // An open question asked after the last request sent answers for all.
    if (m_questions.empty() || m_questions.back().serial != XNextRequest(m_connection.display()) - 1) ask();
    bool held = true;
    while (!m_questions.empty()) held = readOldest();
    return held;
}

void FocusGuard::dropQuestions() {
    xcb_connection_t* connection = XGetXCBConnection(m_connection.display());
    for (const Question& question : m_questions) xcb_discard_reply(connection, question.cookie);
    m_questions.clear();
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
