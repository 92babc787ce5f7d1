#pragma once

#include <chrono>

#include "platform/x11/display_connection.h"

namespace tastalo::platform::x11 {

// A round trip through the target application: it answers _NET_WM_PING only
// after it has handled every event queued before it, key events and keymap
// changes included. That is the moment a borrowed keycode may change again.
class TargetPing {
public:
    explicit TargetPing(DisplayConnection& connection) : m_connection(connection) {}

    bool understoodBy(::Window window);
    // True when the answer came within the timeout.
    bool roundTrip(::Window window, std::chrono::milliseconds timeout);

private:
    void dropRootNoise();
    bool waitForAnswer(::Window window, long token, std::chrono::steady_clock::time_point deadline);

    DisplayConnection& m_connection;
    long m_lastToken = 0;
};

}  // namespace tastalo::platform::x11
