#pragma once

#include <string>
#include <vector>

#include "platform/title_match.h"
#include "platform/x11/display_connection.h"

namespace tastalo::platform::x11 {

// The application windows of the display and their titles, as the window
// manager knows them (EWMH) or, without one, as the window tree shows them.
// Windows of this very process are never listed: the program must not type
// into itself.
class WindowDirectory {
public:
    explicit WindowDirectory(DisplayConnection& connection) : m_connection(connection) {}

    // True while an EWMH window manager runs: the check window on the root
    // exists and names itself.
    bool hasEwmhManager();
    // True when that manager announces the given hint in _NET_SUPPORTED.
    bool managerSupports(const char* hint);

    // Candidates for the title choice; `id` holds the X window.
    std::vector<WindowCandidate> candidates();

    // The title as UTF-32: _NET_WM_NAME, or WM_NAME when that is missing.
    std::u32string title(::Window window);
    bool belongsToThisProcess(::Window window);

private:
    std::vector<WindowCandidate> managedCandidates(const std::vector<unsigned long>& clients);
    std::vector<WindowCandidate> treeCandidates();
    ::Window clientBelow(::Window frame, int depth);

    DisplayConnection& m_connection;
};

// Recency of each client from the manager's stacking list (bottom to top):
// the higher in the stack, the more recently active. Clients missing from
// the stack come last.
std::vector<std::uint64_t> recencyFromStacking(const std::vector<unsigned long>& clients,
                                               const std::vector<unsigned long>& stacking);

}  // namespace tastalo::platform::x11
