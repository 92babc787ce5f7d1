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

bool contains(const std::vector<std::uint8_t>& keycodes, std::uint8_t keycode) {
    return std::find(keycodes.begin(), keycodes.end(), keycode) != keycodes.end();
}

void addOnce(std::vector<std::uint8_t>& keycodes, std::uint8_t keycode) {
    if (!contains(keycodes, keycode)) keycodes.push_back(keycode);
}

}  // namespace

KeySym32 keysymFor(char32_t c) { return xkb_utf32_to_keysym(c); }

KeyPlanner::KeyPlanner(const KeymapSnapshot& keymap) : m_spares(keymap.spareKeycodes) {
    std::sort(m_spares.begin(), m_spares.end());
    reload(keymap);
}

void KeyPlanner::reload(const KeymapSnapshot& keymap) {
    m_keymap.clear();
    m_hasShift = keymap.shiftKeycode != 0;
    // Unshifted keys first, so a character on two keys needs no Shift; the
    // lowest keycode wins among equals.
    for (const auto& key : keymap.keys) {
        if (contains(m_spares, key.keycode)) continue;
        if (char32_t c = characterOf(key.plain); c != 0)
            m_keymap.try_emplace(c, Slot{key.keycode, ShiftNeed::Off});
    }
    if (!m_hasShift) return;
    for (const auto& key : keymap.keys) {
        if (contains(m_spares, key.keycode)) continue;
        if (char32_t c = characterOf(key.shifted); c != 0)
            m_keymap.try_emplace(c, Slot{key.keycode, ShiftNeed::On});
    }
}

std::optional<KeyPlanner::Slot> KeyPlanner::fromKeymap(char32_t c) const {
    auto found = m_keymap.find(c);
    if (found == m_keymap.end()) return std::nullopt;
    return found->second;
}

bool KeyPlanner::isMissing(char32_t c) const { return !m_keymap.contains(c); }

bool KeyPlanner::canType(char32_t c) const {
    return m_keymap.contains(c) || (keysymFor(c) != 0 && !m_spares.empty());
}

std::size_t KeyPlanner::capacity() const { return m_spares.size() * (m_hasShift ? 2 : 1); }

std::optional<KeyPlanner::Stretch> KeyPlanner::assign(const std::vector<char32_t>& characters) const {
    if (characters.size() > capacity()) return std::nullopt;
    // Two characters to a keycode, in order of first use: the first without
    // Shift, the second with it.
    Stretch stretch{0, {}, {}};
    const std::size_t perKeycode = m_hasShift ? 2 : 1;
    for (std::size_t i = 0; i < characters.size(); i += perKeycode) {
        const std::uint8_t keycode = m_spares[i / perKeycode];
        const char32_t plain = characters[i];
        if (i + 1 < characters.size() && perKeycode == 2) {
            const char32_t shifted = characters[i + 1];
            stretch.bindings.push_back({keycode, keysymFor(plain), keysymFor(shifted)});
            stretch.slotOf[plain] = {keycode, ShiftNeed::Off};
            stretch.slotOf[shifted] = {keycode, ShiftNeed::On};
        } else {
            stretch.bindings.push_back({keycode, keysymFor(plain), keysymFor(plain)});
            stretch.slotOf[plain] = {keycode, ShiftNeed::Either};
        }
    }
    return stretch;
}

std::vector<KeyPlanner::Stretch> KeyPlanner::stretchesOf(std::u32string_view stream) const {
    std::vector<Stretch> stretches;
    std::size_t i = 0;
    while (i < stream.size()) {
        if (!isMissing(stream[i]) || !canType(stream[i])) {
            ++i;
            continue;
        }
        // The longest stretch from here whose missing characters fit at once.
        const std::size_t start = i;
        std::vector<char32_t> characters;
        for (; i < stream.size(); ++i) {
            const char32_t c = stream[i];
            if (!isMissing(c) || !canType(c)) continue;
            if (std::find(characters.begin(), characters.end(), c) != characters.end()) continue;
            if (characters.size() == capacity()) break;
            characters.push_back(c);
        }
        Stretch stretch = *assign(characters);
        stretch.start = start;
        stretches.push_back(std::move(stretch));
    }
    return stretches;
}

void KeyPlanner::expect(const std::vector<std::u32string>& texts) {
    m_stream.clear();
    for (const auto& text : texts) {
        m_stream += text;
        m_stream += U'\r';
    }
    m_stretches = stretchesOf(m_stream);
    m_position = 0;
    m_nextStretch = 0;
}

KeyStep KeyPlanner::bind(const Stretch& stretch) {
    KeyStep step;
    step.kind = KeyStep::Kind::Bind;
    step.bindings = stretch.bindings;
    for (const SpareBinding& binding : stretch.bindings) {
        if (contains(m_pressed, binding.keycode)) step.drainFirst = true;
        addOnce(m_everBound, binding.keycode);
        // What the keycode carried before is gone.
        std::erase_if(m_bound, [&](const auto& entry) { return entry.second.keycode == binding.keycode; });
    }
    for (const auto& [c, slot] : stretch.slotOf) m_bound[c] = slot;
    return step;
}

KeyPlanner::Plan KeyPlanner::plan(std::u32string_view text) {
    Plan result;
    for (char32_t c : text) {
        if (!canType(c)) {
            result.untypeable = c;
            return result;
        }
    }
    const bool expected = m_position + text.size() <= m_stream.size() &&
                          std::u32string_view(m_stream).substr(m_position, text.size()) == text;
    std::vector<Stretch> own;
    const std::vector<Stretch>* stretches = &m_stretches;
    std::size_t base = m_position;
    std::size_t next = m_nextStretch;
    if (!expected) {
        // Off the expected order: whatever follows is planned text by text.
        m_stream.clear();
        m_stretches.clear();
        m_position = m_nextStretch = 0;
        const bool allBound = std::all_of(text.begin(), text.end(),
                                          [&](char32_t c) { return !isMissing(c) || m_bound.contains(c); });
        if (!allBound) own = stretchesOf(text);
        stretches = &own;
        base = next = 0;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (next < stretches->size() && (*stretches)[next].start == base + i)
            result.steps.push_back(bind((*stretches)[next++]));
        const char32_t c = text[i];
        const Slot slot = isMissing(c) ? m_bound.at(c) : *fromKeymap(c);
        if (isMissing(c)) addOnce(m_pressed, slot.keycode);
        KeyStep press;
        press.keycode = slot.keycode;
        press.shift = slot.shift;
        result.steps.push_back(std::move(press));
    }
    if (expected) {
        m_position += text.size();
        m_nextStretch = next;
    }
    bindBeforeTheFirstKey(result.steps);
    return result;
}

void KeyPlanner::bindBeforeTheFirstKey(std::vector<KeyStep>& steps) {
    const auto first = std::find_if(steps.begin(), steps.end(),
                                    [](const KeyStep& step) { return step.kind == KeyStep::Kind::Bind; });
    if (first == steps.end() || first == steps.begin()) return;
    const auto changes = [&](const KeyStep& press) {
        return std::any_of(first->bindings.begin(), first->bindings.end(),
                           [&](const SpareBinding& binding) { return binding.keycode == press.keycode; });
    };
    if (std::none_of(steps.begin(), first, changes)) std::rotate(steps.begin(), first, first + 1);
}

std::vector<std::uint8_t> KeyPlanner::borrowedKeycodes() const { return m_everBound; }

void KeyEventWriter::key(std::uint8_t keycode, bool press, std::vector<KeyEvent>& out) {
    const unsigned long delay = press && m_lastReleased == keycode ? kSameKeyDelayMs : 0;
    out.push_back({keycode, press, delay});
    m_lastReleased = press ? std::nullopt : std::optional<std::uint8_t>(keycode);
    if (keycode == m_shiftKeycode && m_shiftKeycode != 0) m_shiftDown = press;
}

void KeyEventWriter::stroke(std::uint8_t keycode, ShiftNeed shift, std::vector<KeyEvent>& out) {
    if (shift == ShiftNeed::On && !m_shiftDown) key(m_shiftKeycode, true, out);
    if (shift == ShiftNeed::Off && m_shiftDown) key(m_shiftKeycode, false, out);
    key(keycode, true, out);
    key(keycode, false, out);
}

void KeyEventWriter::releaseShift(std::vector<KeyEvent>& out) {
    if (m_shiftDown) key(m_shiftKeycode, false, out);
}

void KeyEventWriter::reset() {
    m_shiftDown = false;
    m_lastReleased.reset();
}

}  // namespace tastalo::platform::x11
