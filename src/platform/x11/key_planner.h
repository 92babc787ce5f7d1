#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

// Which keys to press, and which spare keycodes to borrow, to type a text.
// No X11 here: the keymap arrives as a plain snapshot, so the choices can be
// checked without a display.
namespace tastalo::platform::x11 {

using KeySym32 = std::uint32_t;

// The keymap as it stands in the active group, reduced to what typing needs.
struct KeymapSnapshot {
    struct Key {
        std::uint8_t keycode = 0;
        KeySym32 plain = 0;    // without modifiers
        KeySym32 shifted = 0;  // with Shift alone; 0 when Shift changes nothing
    };
    std::vector<Key> keys;
    // Keycodes with no symbol at all and no modifier role: free to borrow.
    std::vector<std::uint8_t> spareKeycodes;
    // A key that sets Shift; 0 when there is none (shifted symbols unusable then).
    std::uint8_t shiftKeycode = 0;
};

enum class ShiftNeed { Off, On, Either };

struct KeyStep {
    enum class Kind { Bind, Press };
    Kind kind = Kind::Press;
    std::uint8_t keycode = 0;
    KeySym32 keysym = 0;  // Bind: the symbol given to the keycode on both levels
    ShiftNeed shift = ShiftNeed::Off;  // Press
    // Bind: the keycode held another character earlier in this send, so the
    // target must have caught up with the old binding before it changes.
    bool settleFirst = false;

    friend bool operator==(const KeyStep&, const KeyStep&) = default;
};

class KeyPlanner {
public:
    explicit KeyPlanner(const KeymapSnapshot& keymap);

    // Takes a new keymap (another group became active) and keeps the keycodes
    // already borrowed.
    void reload(const KeymapSnapshot& keymap);

    struct Plan {
        std::vector<KeyStep> steps;
        // Set when some character cannot be typed; nothing is planned then.
        std::optional<char32_t> untypeable;
    };
    // Tab is the Tab key and '\r' the Return key; other characters are typed
    // as themselves.
    Plan plan(std::u32string_view text);

    // Every keycode borrowed since construction, to be given back.
    std::vector<std::uint8_t> borrowedKeycodes() const;

private:
    struct Stroke {
        std::uint8_t keycode;
        ShiftNeed shift;
    };
    struct Borrowed {
        char32_t character;
        std::uint64_t lastUse;
    };

    std::optional<Stroke> fromKeymap(char32_t c) const;
    bool canType(char32_t c) const;
    Stroke borrowFor(char32_t c, std::vector<KeyStep>& steps);

    std::unordered_map<char32_t, Stroke> m_keymap;
    std::vector<std::uint8_t> m_free;  // never borrowed yet; the last is taken first
    std::map<std::uint8_t, Borrowed> m_borrowed;
    std::unordered_map<char32_t, std::uint8_t> m_characterKeycode;
    std::vector<std::uint8_t> m_everBorrowed;
    std::uint64_t m_clock = 0;
};

// The symbol for a character (libxkbcommon), 0 when it has none.
KeySym32 keysymFor(char32_t c);

}  // namespace tastalo::platform::x11
