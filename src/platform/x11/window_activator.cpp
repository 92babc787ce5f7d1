#include "platform/x11/window_activator.h"

#include <thread>

namespace tastalo::platform::x11 {

namespace {
constexpr long kWatchedEvents = FocusChangeMask | StructureNotifyMask;
}  // namespace

bool WindowActivator::activate(::Window window) {
    m_viaManager = m_directory.hasEwmhManager() && m_directory.managerSupports("_NET_ACTIVE_WINDOW");
    m_connection.clearErrors();
    if (m_viaManager)
        requestFromManager(window);
    else
        focusDirectly(window);
    // The window may have gone between the listing and now.
    if (!m_connection.sync()) return false;

    const auto deadline = std::chrono::steady_clock::now() + m_timing.timeout;
    for (;;) {
        if (isActive(window)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(m_timing.poll);
    }
}

bool WindowActivator::isActive(::Window window) {
    if (window != m_watched) return askServer(window);
    const bool active = askServer(window);
    // Every report sent before the answer is in the queue by now.
    collectReports();
    const bool typeable = active && !m_grabbedAway && !m_hidden;
    m_moved = !typeable;
    return typeable;
}

bool WindowActivator::watch(::Window window) {
    stopWatching();
    m_watched = window;
    // Focus and structure events of the window itself, and
    // _NET_ACTIVE_WINDOW on the root.
    XSelectInput(m_connection.display(), window, kWatchedEvents);
    m_connection.listenOnRoot(PropertyChangeMask);
    return isActive(window);
}

bool WindowActivator::mayHaveMoved() {
    if (m_watched == 0) return true;
    collectReports();
    return m_moved;
}

void WindowActivator::stopWatching() {
    if (m_watched == 0) return;
    const bool earlierError = m_connection.hasError();
    XSelectInput(m_connection.display(), m_watched, NoEventMask);
    m_connection.stopListeningOnRoot(PropertyChangeMask);
    // The window may be gone by now: that refusal is nobody's failure.
    if (!m_connection.sync() && !earlierError) m_connection.clearErrors();
    collectReports();
    m_watched = 0;
    m_moved = false;
    m_grabbedAway = false;
    m_hidden = false;
}

void WindowActivator::collectReports() {
    Display* display = m_connection.display();
    XEvent event;
    while (XCheckWindowEvent(display, m_watched, kWatchedEvents, &event)) {
        switch (event.type) {
        case FocusOut:
            // While another client grabs the keyboard (a menu, a window
            // switcher) keys go to it, whatever _NET_ACTIVE_WINDOW says.
            if (event.xfocus.mode == NotifyGrab) m_grabbedAway = true;
            m_moved = true;
            break;
        case FocusIn:
            if (event.xfocus.mode == NotifyUngrab) m_grabbedAway = false;
            m_moved = true;
            break;
        case UnmapNotify:
        case DestroyNotify:
            // A manager may leave _NET_ACTIVE_WINDOW naming a window that is
            // gone or minimized; it takes no keys either way.
            m_hidden = true;
            m_moved = true;
            break;
        case MapNotify:
            m_hidden = false;
            m_moved = true;
            break;
        default:
            break;
        }
    }
    const Atom active = m_connection.atom("_NET_ACTIVE_WINDOW");
    while (XCheckTypedWindowEvent(display, m_connection.root(), PropertyNotify, &event)) {
        if (event.xproperty.atom == active) m_moved = true;
    }
}

bool WindowActivator::askServer(::Window window) {
    if (!m_viaManager) return focusIsWithin(window);
    const auto active =
        m_connection.longs(m_connection.root(), m_connection.atom("_NET_ACTIVE_WINDOW"), XA_WINDOW);
    return active && !active->empty() && (*active)[0] == window;
}

void WindowActivator::requestFromManager(::Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = m_connection.atom("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // source indication: a pager, acting for the operator
    event.xclient.data.l[1] = CurrentTime;
    event.xclient.data.l[2] = 0;
    XSendEvent(m_connection.display(), m_connection.root(), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void WindowActivator::focusDirectly(::Window window) {
    XRaiseWindow(m_connection.display(), window);
    XSetInputFocus(m_connection.display(), window, RevertToParent, CurrentTime);
}

bool WindowActivator::focusIsWithin(::Window window) {
    Display* display = m_connection.display();
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    // Walk up from the focus window: the target may have given the focus to
    // one of its own children.
    while (focus != 0 && focus != PointerRoot && focus != m_connection.root()) {
        if (focus == window) return true;
        ::Window rootReturn = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, focus, &rootReturn, &parent, &children, &count)) return false;
        if (children) XFree(children);
        focus = parent;
    }
    return false;
}

}  // namespace tastalo::platform::x11
