#include "platform/x11/spare_keymap.h"

#include <algorithm>

namespace tastalo::platform::x11 {

namespace {

XkbDescPtr currentMap(Display* display) {
    return XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
}

}  // namespace

void SpareKeymap::send(XkbDescPtr xkb, std::uint8_t first, std::uint8_t last) {
    // One request covers a range of keys: those in between are written back
    // exactly as the server just gave them.
    XkbMapChangesRec changes{};
    changes.changed = XkbKeySymsMask;
    changes.first_key_sym = first;
    changes.num_key_syms = static_cast<unsigned char>(last - first + 1);
    XkbChangeMap(m_connection.display(), xkb, &changes);
}

bool SpareKeymap::write(const std::vector<SpareBinding>& bindings) {
    if (bindings.empty()) return true;
    XkbDescPtr xkb = currentMap(m_connection.display());
    if (!xkb) return false;
    std::uint8_t first = 255, last = 0;
    for (const SpareBinding& binding : bindings) {
        const std::uint8_t keycode = binding.keycode;
        XkbSymMapRec& map = xkb->map->key_sym_map[keycode];
        const auto known = std::find_if(m_originals.begin(), m_originals.end(),
                                        [&](const Original& o) { return o.keycode == keycode; });
        if (known == m_originals.end()) {
            const KeySym* symbols = XkbKeySymsPtr(xkb, keycode);
            m_originals.push_back({keycode, map, {symbols, symbols + XkbKeyNumSyms(xkb, keycode)}});
        }
        KeySym* symbols = XkbResizeKeySyms(xkb, keycode, 2);
        if (!symbols) {
            XkbFreeKeyboard(xkb, 0, True);
            return false;
        }
        symbols[0] = binding.plain;
        symbols[1] = binding.shifted;
        map.kt_index[0] = XkbTwoLevelIndex;
        map.group_info = XkbSetGroupInfo(1, XkbWrapIntoRange, 0);
        map.width = 2;
        first = std::min(first, keycode);
        last = std::max(last, keycode);
    }
    send(xkb, first, last);
    XkbFreeKeyboard(xkb, 0, True);
    return true;
}

void SpareKeymap::restore() {
    if (m_originals.empty()) return;
    XkbDescPtr xkb = currentMap(m_connection.display());
    if (xkb) {
        std::uint8_t first = 255, last = 0;
        for (const Original& original : m_originals) {
            KeySym* symbols =
                XkbResizeKeySyms(xkb, original.keycode, static_cast<int>(original.symbols.size()));
            if (!symbols && !original.symbols.empty()) continue;
            std::copy(original.symbols.begin(), original.symbols.end(), symbols);
            XkbSymMapRec& map = xkb->map->key_sym_map[original.keycode];
            const unsigned short offset = map.offset;
            map = original.map;
            map.offset = offset;
            first = std::min(first, original.keycode);
            last = std::max(last, original.keycode);
        }
        if (first <= last) send(xkb, first, last);
        XkbFreeKeyboard(xkb, 0, True);
    }
    m_originals.clear();
}

}  // namespace tastalo::platform::x11
