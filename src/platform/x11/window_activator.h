#pragma once

#include <chrono>

#include "platform/x11/display_connection.h"
#include "platform/x11/window_directory.h"

namespace tastalo::platform::x11 {

// Brings a window to the front and tells whether it still is there. With an
// EWMH window manager the manager does the work and _NET_ACTIVE_WINDOW tells
// the truth; without one the window is raised and given the input focus
// directly, and the input focus tells the truth.
class WindowActivator {
public:
    struct Timing {
        std::chrono::milliseconds timeout{1000};
        std::chrono::milliseconds poll{10};
    };

    WindowActivator(DisplayConnection& connection, WindowDirectory& directory, Timing timing)
        : m_connection(connection), m_directory(directory), m_timing(timing) {}

    // True once the window really is active, within the timeout.
    bool activate(::Window window);
    // Asks the server, in the way the last activate() used. For the watched
    // window, also false while another client holds the keyboard grabbed
    // or once the window has been unmapped or destroyed.
    bool isActive(::Window window);

    // Listens for focus changes around `window`, so that mayHaveMoved()
    // answers without a round trip to the server. True when the window is
    // active at the start.
    bool watch(::Window window);
    // False only when nothing that could move the focus has been reported
    // since the last isActive() on the watched window.
    bool mayHaveMoved();
    void stopWatching();

private:
    void requestFromManager(::Window window);
    void focusDirectly(::Window window);
    bool focusIsWithin(::Window window);
    bool askServer(::Window window);
    void collectReports();

    DisplayConnection& m_connection;
    WindowDirectory& m_directory;
    Timing m_timing;
    bool m_viaManager = false;
    ::Window m_watched = 0;
    bool m_moved = false;
    bool m_grabbedAway = false;
    bool m_hidden = false;  // unmapped or destroyed since watch()
};

}  // namespace tastalo::platform::x11
