#include "platform/x11/window_activator.h"

#include <algorithm>
#include <iterator>
#include <thread>

namespace tastalo::platform::x11 {

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
    if (m_viaManager) {
        const auto active =
            m_connection.longs(m_connection.root(), m_connection.atom("_NET_ACTIVE_WINDOW"), XA_WINDOW);
        if (!active || active->empty() || (*active)[0] != window) return false;
    }
    // Keys follow the input focus, which a manager may move a little after
    // announcing the window as active.
    return focusIsWithin(window);
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
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_connection.display(), &focus, &revert);
    return m_connection.isWithin(focus, window);
}

}  // namespace tastalo::platform::x11
