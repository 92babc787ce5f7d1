#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Which keys to press, and what to put on the spare keycodes, to type the
// texts of a send. No X11 here: the keymap arrives as a plain snapshot, so
// the choices can be checked without a display.
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

// What one spare keycode carries while a stretch of the send is typed: a
// symbol for each of its two shift levels (the same one twice when it
// carries a single character, so that Shift cannot change it).
struct SpareBinding {
    std::uint8_t keycode = 0;
    KeySym32 plain = 0;
    KeySym32 shifted = 0;

    friend bool operator==(const SpareBinding&, const SpareBinding&) = default;
};

struct KeyStep {
    enum class Kind { Bind, Press };
    Kind kind = Kind::Press;

    // Press: the key, and the state Shift must be in.
    std::uint8_t keycode = 0;
    ShiftNeed shift = ShiftNeed::Off;

    // Bind: every spare keycode the next stretch needs, changed in one
    // request. The target must have taken the new map before the first key
    // that uses it; when `drainFirst` is set, some of these keycodes carried
    // other characters earlier, and the target must have read every key sent
    // so far before they change.
    std::vector<SpareBinding> bindings;
    bool drainFirst = false;

    friend bool operator==(const KeyStep&, const KeyStep&) = default;
};

class KeyPlanner {
public:
    explicit KeyPlanner(const KeymapSnapshot& keymap);

    // Takes a new keymap (another group became active). The spare keycodes
    // stay those of the first keymap: they may carry our symbols by now.
    void reload(const KeymapSnapshot& keymap);

    // The texts the send is about to type, in order, each followed by the
    // Return key. The characters the keymap lacks are then bound for the
    // whole send at once, in as few stretches as the spare keycodes allow.
    // A text typed out of this order is planned on its own.
    void expect(const std::vector<std::u32string>& texts);

    struct Plan {
        std::vector<KeyStep> steps;
        // Set when some character cannot be typed; nothing is planned then.
        std::optional<char32_t> untypeable;
    };
    // Tab is the Tab key and '\r' the Return key; other characters are typed
    // as themselves. A text's first binding comes before its first key, unless
    // a key before it uses a keycode it changes: a binding the server refuses
    // then stops the text before any of it is typed.
    Plan plan(std::u32string_view text);

    // Every keycode bound since construction, to be given back.
    std::vector<std::uint8_t> borrowedKeycodes() const;

    // How many characters one stretch can carry.
    std::size_t capacity() const;

private:
    struct Slot {
        std::uint8_t keycode;
        ShiftNeed shift;
    };
    // A stretch of the stream typed with one set of bindings.
    struct Stretch {
        std::size_t start;  // stream position of its first character
        std::vector<SpareBinding> bindings;
        std::unordered_map<char32_t, Slot> slotOf;
    };

    std::optional<Slot> fromKeymap(char32_t c) const;
    bool isMissing(char32_t c) const;
    bool canType(char32_t c) const;
    // The keycodes `characters` need, in order of first use; nothing when
    // they do not fit on the spare keycodes at once.
    std::optional<Stretch> assign(const std::vector<char32_t>& characters) const;
    // Cuts the stream into the longest stretches whose missing characters fit.
    std::vector<Stretch> stretchesOf(std::u32string_view stream) const;
    KeyStep bind(const Stretch& stretch);
    static void bindBeforeTheFirstKey(std::vector<KeyStep>& steps);

    std::unordered_map<char32_t, Slot> m_keymap;
    std::vector<std::uint8_t> m_spares;  // ascending
    bool m_hasShift = false;

    // The expected stream and the stretches cut from it; m_position is how
    // far it has been typed.
    std::u32string m_stream;
    std::vector<Stretch> m_stretches;
    std::size_t m_position = 0;
    std::size_t m_nextStretch = 0;

    // What the spare keycodes carry now, and which were ever bound or pressed.
    std::unordered_map<char32_t, Slot> m_bound;
    std::vector<std::uint8_t> m_everBound;
    std::vector<std::uint8_t> m_pressed;
};

// The symbol for a character (libxkbcommon), 0 when it has none.
KeySym32 keysymFor(char32_t c);

// Turns the planned presses into key events. A press that follows the
// release of the same key is held back a millisecond on the server: with
// the release's timestamp, programs take the pair for the keyboard's
// auto-repeat and drop a key.
struct KeyEvent {
    std::uint8_t keycode = 0;
    bool press = false;
    unsigned long delayMs = 0;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

class KeyEventWriter {
public:
    static constexpr unsigned long kSameKeyDelayMs = 1;

    void setShiftKeycode(std::uint8_t keycode) { m_shiftKeycode = keycode; }
    // Press and release of `keycode`, with Shift brought into `shift` first.
    void stroke(std::uint8_t keycode, ShiftNeed shift, std::vector<KeyEvent>& out);
    // A lone press or release (modifier keys given back, Shift let go).
    void key(std::uint8_t keycode, bool press, std::vector<KeyEvent>& out);
    void releaseShift(std::vector<KeyEvent>& out);
    bool shiftDown() const { return m_shiftDown; }
    // Forgets the last event (a new send).
    void reset();

private:
    std::uint8_t m_shiftKeycode = 0;
    bool m_shiftDown = false;
    std::optional<std::uint8_t> m_lastReleased;  // the last event was this key's release
};

}  // namespace tastalo::platform::x11
