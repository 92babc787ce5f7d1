#include "platform/wayland/wayland_connection.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/wayland/send_keymap.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tastalo::platform::wayland {

namespace {

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    static_cast<WaylandConnection*>(data)->onGlobal(registry, name, interface, version);
}

void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}

constexpr wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

void onCapabilities(void* data, wl_seat*, std::uint32_t capabilities) {
    static_cast<WaylandConnection*>(data)->onCapabilities(capabilities);
}

void onSeatName(void*, wl_seat*, const char*) {}

constexpr wl_seat_listener kSeatListener = {onCapabilities, onSeatName};

void onKeymap(void* data, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
    static_cast<WaylandConnection*>(data)->onKeymap(format, fd, size);
}
void onEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void onLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void onKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void onModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                 std::uint32_t) {}
void onRepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

constexpr wl_keyboard_listener kKeyboardListener = {onKeymap, onEnter,     onLeave,
                                                    onKey,    onModifiers, onRepeatInfo};

}  // namespace

WaylandConnection::~WaylandConnection() { close(); }

Status WaylandConnection::open() {
    if (m_display) return Status::success();
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        return failure(kKeyboardUnavailable, {},
                       std::string("cannot connect to Wayland display \"") + (name ? name : "") + '"');
    }
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    // The globals, then the seat's capabilities and the windows, then the
    // windows' first state and the seat's keymap.
    for (int i = 0; i < 3; ++i) {
        if (Status done = roundtrip(); !done.ok()) return done;
    }
    const char* missing = !m_seat        ? "wl_seat"
                          : !m_keyboards ? "zwp_virtual_keyboard_manager_v1"
                          : !m_toplevels ? "zwlr_foreign_toplevel_manager_v1"
                                         : nullptr;
    if (missing) {
        close();
        return failure(kTargetOutOfReach, {}, std::string("the compositor offers no ") + missing);
    }
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_keyboards, m_seat);
    return roundtrip();
}

void WaylandConnection::close() {
    if (!m_display) return;
    m_toplevels.reset();
    if (m_keyboard) zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_seatKeyboard) wl_keyboard_destroy(m_seatKeyboard);
    if (m_keyboards) zwp_virtual_keyboard_manager_v1_destroy(m_keyboards);
    if (m_seat) wl_seat_destroy(m_seat);
    if (m_registry) wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
    m_display = nullptr;
    m_registry = nullptr;
    m_seat = nullptr;
    m_seatKeyboard = nullptr;
    m_keyboard = nullptr;
    m_keyboards = nullptr;
    m_capabilitiesKnown = false;
}

Status WaylandConnection::broken() {
    std::string detail = "Wayland connection lost: ";
    detail += std::strerror(wl_display_get_error(m_display));
    const wl_interface* interface = nullptr;
    std::uint32_t id = 0;
    const std::uint32_t code = wl_display_get_protocol_error(m_display, &interface, &id);
    if (interface) detail += std::string(" (") + interface->name + " error " + std::to_string(code) + ')';
    close();
    return failure(kInputRefused, {}, detail);
}

Status WaylandConnection::roundtrip() {
    if (!m_display) return failure(kInputRefused, {}, "Wayland connection closed");
    if (wl_display_roundtrip(m_display) < 0) return broken();
    return Status::success();
}

Status WaylandConnection::poll() {
    if (!m_display) return failure(kInputRefused, {}, "Wayland connection closed");
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0) return broken();
    }
    if (wl_display_flush(m_display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(m_display);
        return broken();
    }
    pollfd ready{wl_display_get_fd(m_display), POLLIN, 0};
    if (::poll(&ready, 1, 0) > 0) {
        if (wl_display_read_events(m_display) < 0) return broken();
    } else {
        wl_display_cancel_read(m_display);
    }
    if (wl_display_dispatch_pending(m_display) < 0) return broken();
    return Status::success();
}

void WaylandConnection::onGlobal(wl_registry* registry, std::uint32_t name, const char* interface,
                                 std::uint32_t version) {
    const std::string_view which(interface);
    if (which == wl_seat_interface.name && !m_seat) {
        m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(m_seat, &kSeatListener, this);
    } else if (which == zwp_virtual_keyboard_manager_v1_interface.name && !m_keyboards) {
        m_keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (which == zwlr_foreign_toplevel_manager_v1_interface.name && !m_toplevels) {
        m_toplevels = std::make_unique<ToplevelList>(static_cast<zwlr_foreign_toplevel_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                             std::min<std::uint32_t>(version, 3))));
    }
}

void WaylandConnection::onCapabilities(std::uint32_t capabilities) {
    const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    if (!m_capabilitiesKnown) m_seatHadKeyboard = keyboard;
    m_capabilitiesKnown = true;
    if (keyboard && !m_seatKeyboard) {
        m_seatKeyboard = wl_seat_get_keyboard(m_seat);
        wl_keyboard_add_listener(m_seatKeyboard, &kKeyboardListener, this);
    }
}

void WaylandConnection::onKeymap(std::uint32_t format, int fd, std::uint32_t size) {
    ++m_keymapCount;
    m_lastKeymap.clear();
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            std::string text(static_cast<const char*>(mapped), size);
            munmap(mapped, size);
            text.erase(text.find_last_not_of('\0') + 1);
            m_lastKeymap = text;
            // The seat shows our own keymap while our keys arrive: the
            // operator's layout is the last one that is not ours.
            const std::string ours = "xkb_keycodes \"" + std::string(SendKeymap::kName) + '"';
            if (text.find(ours) == std::string::npos) m_seatKeymap = std::move(text);
        }
    }
    ::close(fd);
}

}  // namespace tastalo::platform::wayland
