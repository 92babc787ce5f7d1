#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/x11/display_connection.h"
#include "platform/x11/key_planner.h"

namespace tastalo::platform::x11 {

// The symbols of the spare keycodes on the server: changed for a send and
// given back as they were at its end. Each change is one XKB request,
// however many keycodes it covers: every change makes each program on the
// display reload its keymap, and some do so lazily. A server that refuses
// XKB's request (Xwayland does, for any change of symbols) gets the core
// request instead, one for each run of adjacent keycodes: it carries one
// group of two levels, all a spare keycode needs.
class SpareKeymap {
public:
    explicit SpareKeymap(DisplayConnection& connection) : m_connection(connection) {}

    // Puts the bindings on the server and waits until it has handled them.
    // False when the map cannot be read or the server refused the change;
    // a refusal stays recorded on the connection.
    bool write(const std::vector<SpareBinding>& bindings);
    // Gives every keycode written since the last restore() what it had.
    void restore();
    bool changed() const { return !m_originals.empty() || !m_coreOriginals.empty(); }

private:
    struct Original {
        std::uint8_t keycode = 0;
        XkbSymMapRec map{};
        std::vector<KeySym> symbols;
    };
    // A keycode as the core keymap showed it before the first core change.
    struct CoreOriginal {
        std::uint8_t keycode = 0;
        std::vector<KeySym> symbols;
    };

    // False when XKB cannot give the map; what the keycodes had goes to `added`.
    bool writeXkb(const std::vector<SpareBinding>& bindings, std::vector<Original>& added);
    void writeCore(const std::vector<SpareBinding>& bindings);
    // Writes the keys from `first` to `last` as `xkb` holds them.
    void send(XkbDescPtr xkb, std::uint8_t first, std::uint8_t last);
    // Writes each keycode's symbols with the core request, one for each run
    // of adjacent keycodes, so that no other key is written.
    void sendCore(std::vector<std::pair<std::uint8_t, std::vector<KeySym>>> keys);

    DisplayConnection& m_connection;
    std::vector<Original> m_originals;
    std::vector<CoreOriginal> m_coreOriginals;
    // The server refused an XKB change once: it gets core requests from then on.
    bool m_xkbRefused = false;
};

}  // namespace tastalo::platform::x11
