#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/keyboard_target.h"

// The XKB keymap a virtual keyboard uploads for a send. Plain xkbcommon, no
// Wayland: it decides which key types which character.
namespace tastalo::platform::wayland {

// The key (evdev code, as the virtual keyboard sends it) and whether Shift
// must be held for it.
struct KeyStroke {
    std::uint32_t code = 0;
    bool shift = false;
    bool operator==(const KeyStroke&) const = default;
};

class SendKeymap {
public:
    // A keymap holding Return, Tab and every character of `characters`.
    // A character the operator's layout (`seatKeymap`, XKB text; empty for
    // XKB's default layout) types with no modifier or with Shift keeps that
    // key, so that a program still reading the old keymap, as X11 programs
    // do for a moment after a change, reads it right. The others go on keys
    // that layout leaves empty first. Every character `previous` holds keeps
    // its key: an X11 program that reads keys typed with `previous` only
    // after this keymap has replaced it still reads them right. Fails with
    // kCharacterNotTypeable when a character has no keysym or the keys run
    // out.
    static Status build(std::string_view seatKeymap, std::u32string_view characters,
                        const SendKeymap* previous, SendKeymap& out);

    // The operator's layout as XKB text, complete: `seatKeymap` if it
    // compiles, else XKB's default layout.
    static Status operatorLayout(std::string_view seatKeymap, std::string& text);

    // The keymap as XKB text, complete (no includes), ready to upload.
    const std::string& text() const { return m_text; }
    bool holds(char32_t c) const { return m_strokes.contains(c); }
    // Requires holds(c).
    KeyStroke strokeFor(char32_t c) const { return m_strokes.at(c); }
    // Whether some character is on a key the operator's layout leaves to
    // another character, or to none.
    bool offLayout() const { return m_offLayout; }
    // Whether keys typed with `keymap` (XKB text, as the compositor sends
    // it) give every character this keymap gives, Shift included.
    bool typesAlike(std::string_view keymap) const;
    // The Shift modifier's mask in this keymap.
    std::uint32_t shiftMask() const { return m_shiftMask; }

    // The name every keymap built here carries, so that the seat's keymap can
    // be told apart from ours when the compositor echoes it back.
    static constexpr std::string_view kName = "tastalo";

private:
    std::string m_text;
    // Keycode -> its keysyms without and with Shift.
    std::map<std::uint32_t, std::array<std::uint32_t, 2>> m_keys;
    std::map<char32_t, KeyStroke> m_strokes;
    std::uint32_t m_shiftMask = 0;
    bool m_offLayout = false;
};

}  // namespace tastalo::platform::wayland
