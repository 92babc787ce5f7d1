#include "platform/x11/key_planner.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>

namespace tastalo::platform::x11 {

namespace {

// Keypad symbols stand for digits and operators too, but their meaning
// follows Num Lock and applications treat them apart.
bool isKeypad(KeySym32 keysym) { return keysym >= XKB_KEY_KP_Space && keysym <= XKB_KEY_KP_Equal; }

char32_t characterOf(KeySym32 keysym) {
    if (keysym == 0 || isKeypad(keysym)) return 0;
    return xkb_keysym_to_utf32(keysym);
}

}  // namespace

KeySym32 keysymFor(char32_t c) { return xkb_utf32_to_keysym(c); }

KeyPlanner::KeyPlanner(const KeymapSnapshot& keymap) {
    reload(keymap);
    m_free = keymap.spareKeycodes;
    std::sort(m_free.begin(), m_free.end());
}

void KeyPlanner::reload(const KeymapSnapshot& keymap) {
    m_keymap.clear();
    // Unshifted keys first, so a character on two keys needs no Shift; the
    // lowest keycode wins among equals.
    for (const auto& key : keymap.keys) {
        if (m_borrowed.contains(key.keycode)) continue;
        if (char32_t c = characterOf(key.plain); c != 0) m_keymap.try_emplace(c, Stroke{key.keycode, ShiftNeed::Off});
    }
    if (keymap.shiftKeycode == 0) return;
    for (const auto& key : keymap.keys) {
        if (m_borrowed.contains(key.keycode)) continue;
        if (char32_t c = characterOf(key.shifted); c != 0) m_keymap.try_emplace(c, Stroke{key.keycode, ShiftNeed::On});
    }
}

std::optional<KeyPlanner::Stroke> KeyPlanner::fromKeymap(char32_t c) const {
    auto found = m_keymap.find(c);
    if (found == m_keymap.end()) return std::nullopt;
    return found->second;
}

bool KeyPlanner::canType(char32_t c) const {
    if (fromKeymap(c) || m_characterKeycode.contains(c)) return true;
    return keysymFor(c) != 0 && (!m_free.empty() || !m_borrowed.empty());
}

KeyPlanner::Plan KeyPlanner::plan(std::u32string_view text) {
    Plan result;
    for (char32_t c : text) {
        if (!canType(c)) {
            result.untypeable = c;
            return result;
        }
    }
    for (char32_t c : text) {
        Stroke stroke{};
        if (auto known = fromKeymap(c)) {
            stroke = *known;
        } else if (auto bound = m_characterKeycode.find(c); bound != m_characterKeycode.end()) {
            stroke = {bound->second, ShiftNeed::Either};
        } else {
            stroke = borrowFor(c, result.steps);
        }
        if (auto borrowed = m_borrowed.find(stroke.keycode); borrowed != m_borrowed.end())
            borrowed->second.lastUse = ++m_clock;
        result.steps.push_back({KeyStep::Kind::Press, stroke.keycode, 0, stroke.shift, false});
    }
    return result;
}

KeyPlanner::Stroke KeyPlanner::borrowFor(char32_t c, std::vector<KeyStep>& steps) {
    std::uint8_t keycode = 0;
    bool settle = false;
    if (!m_free.empty()) {
        keycode = m_free.back();
        m_free.pop_back();
        m_everBorrowed.push_back(keycode);
    } else {
        // All spares hold a character: take back the one used longest ago.
        auto oldest = std::min_element(m_borrowed.begin(), m_borrowed.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        });
        keycode = oldest->first;
        m_characterKeycode.erase(oldest->second.character);
        settle = true;
    }
    m_borrowed[keycode] = {c, m_clock};
    m_characterKeycode[c] = keycode;
    steps.push_back({KeyStep::Kind::Bind, keycode, keysymFor(c), ShiftNeed::Either, settle});
    return {keycode, ShiftNeed::Either};
}

std::vector<std::uint8_t> KeyPlanner::borrowedKeycodes() const { return m_everBorrowed; }

}  // namespace tastalo::platform::x11
