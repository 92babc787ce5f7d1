#include "platform/wayland/toplevel_list.h"

#include <wayland-client.h>

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tastalo::platform::wayland {

namespace {

using Toplevel = ToplevelList::Toplevel;

void onTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
    static_cast<Toplevel*>(data)->pendingTitle = title ? title : "";
}

void onAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
    static_cast<Toplevel*>(data)->pendingAppId = appId ? appId : "";
}

void onOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}

void onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
    auto* toplevel = static_cast<Toplevel*>(data);
    toplevel->pendingActivated = false;
    const auto* state = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
        if (state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) toplevel->pendingActivated = true;
    }
}

void onDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
    auto* toplevel = static_cast<Toplevel*>(data);
    toplevel->list->settle(*toplevel);
}

void onClosed(void* data, zwlr_foreign_toplevel_handle_v1*) {
    auto* toplevel = static_cast<Toplevel*>(data);
    toplevel->closed = true;
    toplevel->activated = false;
}

void onParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

constexpr zwlr_foreign_toplevel_handle_v1_listener kToplevelListener = {onTitle, onAppId, onOutput, onOutput,
                                                                        onState, onDone,  onClosed, onParent};

void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
    static_cast<ToplevelList*>(data)->announce(handle);
}

void onFinished(void*, zwlr_foreign_toplevel_manager_v1*) {}

constexpr zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {onToplevel, onFinished};

}  // namespace

ToplevelList::ToplevelList(zwlr_foreign_toplevel_manager_v1* manager) : m_manager(manager) {
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &kManagerListener, this);
}

ToplevelList::~ToplevelList() {
    for (const auto& toplevel : m_toplevels) zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
}

void ToplevelList::announce(zwlr_foreign_toplevel_handle_v1* handle) {
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->handle = handle;
    toplevel->list = this;
    toplevel->recency = ++m_clock;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kToplevelListener, toplevel.get());
    m_toplevels.push_back(std::move(toplevel));
}

void ToplevelList::settle(Toplevel& toplevel) {
    toplevel.title = toplevel.pendingTitle;
    toplevel.appId = toplevel.pendingAppId;
    if (toplevel.pendingActivated && !toplevel.activated) toplevel.recency = ++m_clock;
    toplevel.activated = toplevel.pendingActivated;
}

std::vector<WindowCandidate> ToplevelList::candidates(const std::string& ownAppId) const {
    std::vector<WindowCandidate> result;
    const std::u32string own = foldCase(fromUtf8(ownAppId));
    for (std::size_t i = 0; i < m_toplevels.size(); ++i) {
        const Toplevel& toplevel = *m_toplevels[i];
        // XWayland windows show their X11 class, which Qt capitalises.
        if (toplevel.closed || (!own.empty() && foldCase(fromUtf8(toplevel.appId)) == own)) continue;
        result.push_back({i, fromUtf8(toplevel.title), toplevel.recency});
    }
    return result;
}

}  // namespace tastalo::platform::wayland
