#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The key events that type a text on Windows, planned in plain C++ so the
// plan is checked on every platform; the backend turns each into an INPUT.
namespace tastalo::platform::win32 {

struct KeyStroke {
    enum class Kind : std::uint8_t {
        Character,   // a UTF-16 unit, typed as itself whatever the keyboard layout
        VirtualKey,  // a key of the keyboard, by its virtual-key code
    };
    Kind kind = Kind::Character;
    std::uint16_t code = 0;
    bool release = false;

    bool operator==(const KeyStroke&) const = default;
};

// The virtual-key codes the backend presses or releases (the values of the
// Win32 VK_ constants).
namespace vk {
inline constexpr std::uint16_t kTab = 0x09;
inline constexpr std::uint16_t kReturn = 0x0D;
inline constexpr std::uint16_t kLeftWin = 0x5B;
inline constexpr std::uint16_t kRightWin = 0x5C;
inline constexpr std::uint16_t kLeftShift = 0xA0;
inline constexpr std::uint16_t kRightShift = 0xA1;
inline constexpr std::uint16_t kLeftControl = 0xA2;
inline constexpr std::uint16_t kRightControl = 0xA3;
inline constexpr std::uint16_t kLeftAlt = 0xA4;
inline constexpr std::uint16_t kRightAlt = 0xA5;
// Unassigned: pressed while Alt or Win is held, so that releasing them is no
// longer a lone tap (which would open the Start menu or a menu bar).
inline constexpr std::uint16_t kMask = 0xE8;
}  // namespace vk

// The modifier keys that change what a key does when held.
const std::vector<std::uint16_t>& modifierKeys();

// Index of the first character that cannot be typed: a control character
// other than Tab, a surrogate code point, or a value beyond U+10FFFF.
std::optional<std::size_t> firstUntypeable(std::u32string_view text);

// Press and release of every character; beyond U+FFFF, of each unit of its
// surrogate pair; Tab as the Tab key. Every character must be typeable.
std::vector<KeyStroke> strokesForText(std::u32string_view text);

std::vector<KeyStroke> strokesForEnter();

// Releases the modifiers the operator holds, so that the keys typed next are
// not read as shortcuts (Alt+letter opens menus, Shift+Tab goes backwards).
std::vector<KeyStroke> releaseOf(const std::vector<std::uint16_t>& heldModifiers);

}  // namespace tastalo::platform::win32
