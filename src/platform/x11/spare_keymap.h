#pragma once

#include <cstdint>
#include <vector>

#include "platform/x11/display_connection.h"
#include "platform/x11/key_planner.h"

namespace tastalo::platform::x11 {

// The symbols of the spare keycodes on the server: changed for a send and
// given back as they were at its end. Each change is one XKB request,
// however many keycodes it covers: every change makes each program on the
// display reload its keymap, and some do so lazily.
class SpareKeymap {
public:
    explicit SpareKeymap(DisplayConnection& connection) : m_connection(connection) {}

    // Puts the bindings on the server. False when XKB cannot give the map;
    // a refusal of the change itself arrives as a protocol error.
    bool write(const std::vector<SpareBinding>& bindings);
    // Gives every keycode written since the last restore() what it had.
    void restore();
    bool changed() const { return !m_originals.empty(); }

private:
    struct Original {
        std::uint8_t keycode = 0;
        XkbSymMapRec map{};
        std::vector<KeySym> symbols;
    };

    // Writes the keys from `first` to `last` as `xkb` holds them.
    void send(XkbDescPtr xkb, std::uint8_t first, std::uint8_t last);

    DisplayConnection& m_connection;
    std::vector<Original> m_originals;
};

}  // namespace tastalo::platform::x11
