#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/keyboard_target.h"
#include "platform/wayland/toplevel_list.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace tastalo::platform::wayland {

// One connection to the compositor with what typing needs: the seat, the
// virtual-keyboard manager, the window list, and the seat's keymap (the
// operator's layout) read through a keyboard of our own.
class WaylandConnection {
public:
    WaylandConnection() = default;
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    // No Wayland display gives kKeyboardUnavailable; a compositor without
    // the two protocols kTargetOutOfReach, naming the missing one in detail.
    Status open();
    void close();
    bool isOpen() const { return m_display != nullptr; }

    // Waits until the compositor has handled every request sent so far, and
    // takes its answers. kInputRefused if the connection broke (then closed).
    Status roundtrip();
    // Takes the answers that have arrived, without waiting.
    Status poll();

    wl_display* display() const { return m_display; }
    wl_seat* seat() const { return m_seat; }
    // Ours, made at open() and kept while the connection lasts: a seat that
    // gains a keyboard makes every program bind to it, and keys sent before
    // they have are lost.
    zwp_virtual_keyboard_v1* keyboard() const { return m_keyboard; }
    ToplevelList& toplevels() const { return *m_toplevels; }
    // The operator's keymap as XKB text; empty until the compositor sent one.
    const std::string& seatKeymap() const { return m_seatKeymap; }
    // Every keymap the seat has announced, ours included: the last one, and
    // how many so far. The seat announces the keymap of the keyboard that
    // typed last, ours while we type, so a change here during a send means
    // the compositor replaced our keyboard's keymap, or another keyboard typed.
    const std::string& lastKeymap() const { return m_lastKeymap; }
    std::uint64_t keymapCount() const { return m_keymapCount; }
    // Whether the seat had a keyboard before ours was added.
    bool seatHadKeyboard() const { return m_seatHadKeyboard; }

    // Compositor events; public for the C listeners only.
    void onGlobal(wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version);
    void onCapabilities(std::uint32_t capabilities);
    void onKeymap(std::uint32_t format, int fd, std::uint32_t size);

private:
    Status broken();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    wl_keyboard* m_seatKeyboard = nullptr;
    zwp_virtual_keyboard_manager_v1* m_keyboards = nullptr;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    std::unique_ptr<ToplevelList> m_toplevels;
    std::string m_seatKeymap;
    std::string m_lastKeymap;
    std::uint64_t m_keymapCount = 0;
    bool m_capabilitiesKnown = false;
    bool m_seatHadKeyboard = false;
};

}  // namespace tastalo::platform::wayland
