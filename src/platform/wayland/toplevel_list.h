#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/title_match.h"

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace tastalo::platform::wayland {

// Every toplevel window the compositor announces through foreign-toplevel
// management, with its title and activated state as of its last "done".
class ToplevelList {
public:
    struct Toplevel {
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        std::string title, appId;
        bool activated = false;
        bool closed = false;
        // Raised each time the window is announced or becomes active: the
        // protocol tells no stacking order, so recency is what was seen.
        std::uint64_t recency = 0;

        // Applied at the next "done", as the protocol asks.
        std::string pendingTitle, pendingAppId;
        bool pendingActivated = false;
        ToplevelList* list = nullptr;
    };

    explicit ToplevelList(zwlr_foreign_toplevel_manager_v1* manager);
    ~ToplevelList();
    ToplevelList(const ToplevelList&) = delete;
    ToplevelList& operator=(const ToplevelList&) = delete;

    // The open windows, other programs' only (their app_id, without regard to
    // case, is not `ownAppId`); WindowCandidate::id is the index for at().
    std::vector<WindowCandidate> candidates(const std::string& ownAppId) const;
    const Toplevel& at(std::size_t index) const { return *m_toplevels.at(index); }

    // Compositor events; public for the C listeners only.
    void announce(zwlr_foreign_toplevel_handle_v1* handle);
    void settle(Toplevel& toplevel);

private:
    zwlr_foreign_toplevel_manager_v1* m_manager;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels;
    std::uint64_t m_clock = 0;
};

}  // namespace tastalo::platform::wayland
