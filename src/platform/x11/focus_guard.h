#pragma once

#include <optional>
#include <vector>

#include "platform/x11/display_connection.h"

namespace tastalo::platform::x11 {

// Tells, for the keys sent during a send, whether the target window held the
// keyboard focus when the server processed them. The server routes an XTest
// key to the focus window of the moment it handles the request, and every
// event it sends us carries the serial of the last request of ours it had
// handled: so a report that the focus left, read after a round trip, says
// exactly which of our keys went in before it.
class FocusGuard {
public:
    explicit FocusGuard(DisplayConnection& connection) : m_connection(connection) {}

    // Starts listening for the focus leaving `window`; `viaManager` also takes
    // the window manager's word (_NET_ACTIVE_WINDOW naming another window)
    // as a reason to stop. True when the focus is within the window now.
    bool watch(::Window window, bool viaManager);
    void stop();

    // One round trip: once it returns, the server has handled every request
    // sent so far and every report made before is read. False once the focus
    // has left the target at any moment since watch().
    bool confirm();
    // Without a round trip, from the reports that have already arrived.
    bool stillHeld();
    // Whether the request with this serial (a key sent) was handled while
    // the target held the focus. Meaningful after a confirm() that followed it.
    bool reached(unsigned long serial) const { return !m_lostAfter || serial <= *m_lostAfter; }

private:
    void readReports();
    void lostAfter(unsigned long serial);
    bool focusWithinTarget(::Window focus);

    DisplayConnection& m_connection;
    ::Window m_target = 0;
    bool m_viaManager = false;
    // The serial of the last request handled before the focus left.
    std::optional<unsigned long> m_lostAfter;
    unsigned long m_confirmedUpTo = 0;
    std::vector<::Window> m_inside;  // focus windows known to lie within the target
};

}  // namespace tastalo::platform::x11
