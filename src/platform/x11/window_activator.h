#pragma once

#include <chrono>

#include "platform/x11/display_connection.h"
#include "platform/x11/window_directory.h"

namespace tastalo::platform::x11 {

// Brings a window to the front and waits until it takes the keyboard. With an
// EWMH window manager the manager does the work; without one the window is
// raised and given the input focus directly.
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
    // Asks the server, in the way the last activate() used: the manager's
    // _NET_ACTIVE_WINDOW (when there is one) and the input focus both name
    // the window, or one of its own.
    bool isActive(::Window window);
    // Whether the last activate() went through an EWMH window manager.
    bool viaManager() const { return m_viaManager; }

private:
    void requestFromManager(::Window window);
    void focusDirectly(::Window window);
    bool focusIsWithin(::Window window);

    DisplayConnection& m_connection;
    WindowDirectory& m_directory;
    Timing m_timing;
    bool m_viaManager = false;
};

}  // namespace tastalo::platform::x11
