#include "platform/wayland/send_keymap.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tastalo::platform::wayland {

namespace {

using Context = std::unique_ptr<xkb_context, decltype(&xkb_context_unref)>;
using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;

// Keycode 8 is evdev's reserved code 0; X11 programs under XWayland see no
// keycode above 255.
constexpr xkb_keycode_t kFirstKeycode = 9;
constexpr xkb_keycode_t kLastKeycode = 255;
constexpr xkb_keycode_t kEvdevOffset = 8;

xkb_keysym_t keysymFor(char32_t c) {
    if (c == U'\r') return XKB_KEY_Return;
    if (c == U'\t') return XKB_KEY_Tab;
    return xkb_utf32_to_keysym(c);
}

// The one keysym at a level of the first layout, or NoSymbol.
xkb_keysym_t symbolAt(xkb_keymap* keymap, xkb_keycode_t key, xkb_level_index_t level) {
    const xkb_keysym_t* symbols = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap, key, 0, level, &symbols);
    return count == 1 ? symbols[0] : XKB_KEY_NoSymbol;
}

bool reachedWith(xkb_keymap* keymap, xkb_keycode_t key, xkb_level_index_t level, xkb_mod_mask_t mask) {
    std::array<xkb_mod_mask_t, 16> masks{};
    const std::size_t count =
        xkb_keymap_key_get_mods_for_level(keymap, key, 0, level, masks.data(), masks.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (masks[i] == mask) return true;
    }
    return false;
}

bool printable(xkb_keysym_t symbol) {
    const std::uint32_t c = xkb_keysym_to_utf32(symbol);
    return c >= 0x20 && c != 0x7F;
}

std::string nameOf(xkb_keysym_t symbol) {
    std::array<char, 64> name{};
    xkb_keysym_get_name(symbol, name.data(), name.size());
    return name.data();
}

using Keys = std::map<std::uint32_t, std::array<std::uint32_t, 2>>;

Keymap compile(xkb_context* context, std::string_view text) {
    return Keymap(text.empty()
                      ? nullptr
                      : xkb_keymap_new_from_buffer(context, text.data(), text.size(),
                                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS),
                  &xkb_keymap_unref);
}

Keymap seatLayout(xkb_context* context, std::string_view seatKeymap) {
    Keymap seat = compile(context, seatKeymap);
    if (!seat)
        seat = Keymap(xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS),
                      &xkb_keymap_unref);
    return seat;
}

std::string textOf(xkb_keymap* keymap) {
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    std::string result = text ? text : "";
    std::free(text);
    return result;
}

// What the first layout of the operator's keymap types with no modifier
// (level 0) or Shift alone (level 1), and which keys it leaves empty.
class SeatLayout {
public:
    SeatLayout(xkb_keymap* keymap, xkb_mod_mask_t shift) : m_keymap(keymap), m_shift(shift) {
        const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap), kLastKeycode);
        for (xkb_level_index_t level = 0; level < 2; ++level) {
            for (xkb_keycode_t key = kFirstKeycode; key <= last; ++key) {
                const xkb_keysym_t symbol = symbolAt(keymap, key, level);
                if (symbol != XKB_KEY_NoSymbol && reachedWith(keymap, key, level, level == 0 ? 0 : shift))
                    m_where.try_emplace(symbol, key, level);
            }
        }
    }

    std::optional<std::pair<xkb_keycode_t, xkb_level_index_t>> find(xkb_keysym_t symbol) const {
        const auto found = m_where.find(symbol);
        if (found == m_where.end()) return std::nullopt;
        return found->second;
    }

    // The key's own two levels, to copy unchanged.
    std::array<xkb_keysym_t, 2> levels(xkb_keycode_t key) const {
        const xkb_keysym_t second =
            reachedWith(m_keymap, key, 1, m_shift) ? symbolAt(m_keymap, key, 1) : XKB_KEY_NoSymbol;
        return {symbolAt(m_keymap, key, 0), second};
    }

    // Keys this layout leaves empty first; then keys that only type a
    // character (never a modifier or a function), for when those run out.
    std::vector<xkb_keycode_t> spareKeys(const Keys& taken) const {
        std::vector<xkb_keycode_t> empty, printing;
        for (xkb_keycode_t key = kFirstKeycode; key <= kLastKeycode; ++key) {
            if (taken.contains(key)) continue;
            bool anySymbol = false, allPrinting = true;
            const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(m_keymap, key);
            for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
                const xkb_level_index_t count = xkb_keymap_num_levels_for_key(m_keymap, key, layout);
                for (xkb_level_index_t level = 0; level < count; ++level) {
                    const xkb_keysym_t* symbols = nullptr;
                    const int n = xkb_keymap_key_get_syms_by_level(m_keymap, key, layout, level, &symbols);
                    for (int i = 0; i < n; ++i) {
                        anySymbol = true;
                        allPrinting = allPrinting && printable(symbols[i]);
                    }
                }
            }
            if (!anySymbol) {
                empty.push_back(key);
            } else if (allPrinting) {
                printing.push_back(key);
            }
        }
        empty.insert(empty.end(), printing.begin(), printing.end());
        return empty;
    }

private:
    xkb_keymap* m_keymap;
    xkb_mod_mask_t m_shift;
    std::unordered_map<xkb_keysym_t, std::pair<xkb_keycode_t, xkb_level_index_t>> m_where;
};

std::string keymapText(const Keys& keys) {
    const std::string name(SendKeymap::kName);
    std::string text = "xkb_keymap {\nxkb_keycodes \"" + name + "\" {\nminimum = 8;\nmaximum = 255;\n";
    for (const auto& [key, levels] : keys)
        text += "<K" + std::to_string(key) + "> = " + std::to_string(key) + ";\n";
    text += "};\nxkb_types \"" + name + "\" { include \"complete\" };\n";
    text += "xkb_compatibility \"" + name + "\" { include \"complete\" };\n";
    text += "xkb_symbols \"" + name + "\" {\n";
    for (const auto& [key, levels] : keys) {
        text += "key <K" + std::to_string(key) + "> { type = ";
        text += levels[1] == XKB_KEY_NoSymbol
                    ? "\"ONE_LEVEL\", [ " + nameOf(levels[0])
                    : "\"TWO_LEVEL\", [ " + nameOf(levels[0]) + ", " + nameOf(levels[1]);
        text += " ] };\n";
    }
    text += "};\n};\n";
    return text;
}

}  // namespace

Status SendKeymap::build(std::string_view seatKeymap, std::u32string_view characters,
                         const SendKeymap* previous, SendKeymap& out) {
    const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    if (!context) return failure(kKeyboardUnavailable, {}, "xkbcommon: no context");
    const Keymap seat = seatLayout(context.get(), seatKeymap);
    if (!seat) return failure(kKeyboardUnavailable, {}, "xkbcommon: no keymap for the default layout");
    const xkb_mod_index_t shiftIndex = xkb_keymap_mod_get_index(seat.get(), XKB_MOD_NAME_SHIFT);
    const xkb_mod_mask_t seatShift = shiftIndex == XKB_MOD_INVALID ? 0 : 1u << shiftIndex;
    const SeatLayout layout(seat.get(), seatShift);

    std::u32string wanted = U"\r\t";
    for (const char32_t c : characters) {
        if (wanted.find(c) == std::u32string::npos) wanted.push_back(c);
    }
    Keys keys = previous ? previous->m_keys : Keys{};
    std::map<char32_t, KeyStroke> strokes = previous ? previous->m_strokes : std::map<char32_t, KeyStroke>{};
    std::vector<std::pair<char32_t, xkb_keysym_t>> missing;
    for (const char32_t c : wanted) {
        if (strokes.contains(c)) continue;
        const xkb_keysym_t symbol = keysymFor(c);
        if (symbol == XKB_KEY_NoSymbol)
            return failure(kCharacterNotTypeable, std::u32string(1, c), "no keysym");
        const auto found = layout.find(symbol);
        // A key the previous keymap gave to other characters stays theirs.
        if (!found || (keys.contains(found->first) && keys.at(found->first) != layout.levels(found->first))) {
            missing.emplace_back(c, symbol);
            continue;
        }
        const auto [key, level] = *found;
        keys[key] = layout.levels(key);
        strokes[c] = {key - kEvdevOffset, level == 1};
    }
    // Two characters per spare key: the second one with Shift.
    const std::vector<xkb_keycode_t> spare = layout.spareKeys(keys);
    if (missing.size() > 2 * spare.size()) {
        return failure(kCharacterNotTypeable, std::u32string(1, missing[2 * spare.size()].first),
                       "more characters off the layout than free keys");
    }
    for (std::size_t i = 0; i < missing.size(); ++i) {
        const xkb_keycode_t key = spare[i / 2];
        auto& levels = keys.try_emplace(key, std::array<xkb_keysym_t, 2>{XKB_KEY_NoSymbol, XKB_KEY_NoSymbol})
                           .first->second;
        levels[i % 2] = missing[i].second;
        strokes[missing[i].first] = {key - kEvdevOffset, i % 2 == 1};
    }

    const Keymap ours = compile(context.get(), keymapText(keys));
    if (!ours) return failure(kKeyboardUnavailable, {}, "xkbcommon refused the keymap built for the send");
    out.m_text = textOf(ours.get());
    if (out.m_text.empty()) return failure(kKeyboardUnavailable, {}, "xkbcommon cannot write the keymap");
    out.m_offLayout = (previous && previous->m_offLayout) || !missing.empty();
    out.m_keys = std::move(keys);
    out.m_strokes = std::move(strokes);
    out.m_shiftMask = 1u << xkb_keymap_mod_get_index(ours.get(), XKB_MOD_NAME_SHIFT);
    return Status::success();
}

bool SendKeymap::typesAlike(std::string_view keymap) const {
    const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    if (!context) return false;
    // What the compositor sends is judged here, not reported on stderr.
    xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
    const Keymap other = compile(context.get(), keymap);
    if (!other) return false;
    const xkb_mod_index_t shift = xkb_keymap_mod_get_index(other.get(), XKB_MOD_NAME_SHIFT);
    if (shift == XKB_MOD_INVALID || (1u << shift) != m_shiftMask) return false;
    return std::all_of(m_keys.begin(), m_keys.end(), [&](const auto& key) {
        const auto& [code, levels] = key;
        if (symbolAt(other.get(), code, 0) != levels[0] || !reachedWith(other.get(), code, 0, 0))
            return false;
        return levels[1] == XKB_KEY_NoSymbol || (symbolAt(other.get(), code, 1) == levels[1] &&
                                                 reachedWith(other.get(), code, 1, m_shiftMask));
    });
}

Status SendKeymap::operatorLayout(std::string_view seatKeymap, std::string& text) {
    const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    const Keymap seat = context ? seatLayout(context.get(), seatKeymap) : Keymap(nullptr, &xkb_keymap_unref);
    text = seat ? textOf(seat.get()) : std::string();
    if (text.empty())
        return failure(kKeyboardUnavailable, {}, "xkbcommon: no keymap for the operator's layout");
    return Status::success();
}

}  // namespace tastalo::platform::wayland
