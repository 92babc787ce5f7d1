#pragma once

#include <deque>
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

    // Asks where the focus is without waiting for the answer: sent now, so
    // that keys sent after it are handled while it travels.
    void ask();
    // Reads the answer to the oldest question still open: the server had
    // handled every request sent before it, and every report made before is
    // read. False once the focus has left the target at any moment since
    // watch().
    bool readOldest();
    // One round trip: every open question answered, with one more asked
    // first unless the newest was the last request sent.
    bool confirm();
    // The serial of the last question answered: the server had handled
    // every request before it.
    unsigned long answeredUpTo() const { return m_confirmedUpTo; }
    // Without a round trip, from the reports that have already arrived.
    bool stillHeld();
    // Whether every request with these serials (keys sent) was handled while
    // the target held the focus: the focus may have gone and come back in
    // between, with none of them handled meanwhile. Meaningful after a
    // confirm() that followed them.
    bool reachedAll(const std::vector<unsigned long>& serials) const;

private:
    void readReports();
    void dropQuestions();
    void lostAfter(unsigned long serial);
    void backAfter(unsigned long serial);
    bool focusWithinTarget(::Window focus);

    DisplayConnection& m_connection;
    ::Window m_target = 0;
    bool m_viaManager = false;
    // The serial of the last request handled before the focus first left.
    std::optional<unsigned long> m_lostAfter;
    // Each time away: requests with serials after `from` up to `to` (to the
    // end while it is open) went to another window.
    struct Away {
        unsigned long from = 0;
        std::optional<unsigned long> to;
    };
    std::vector<Away> m_away;
    unsigned long m_confirmedUpTo = 0;
    struct Question {
        unsigned int cookie = 0;
        unsigned long serial = 0;
    };
    std::deque<Question> m_questions;
    std::vector<::Window> m_inside;  // focus windows known to lie within the target
};

}  // namespace tastalo::platform::x11
