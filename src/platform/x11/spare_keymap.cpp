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
    Display* display = m_connection.display();
    if (!m_xkbRefused) {
        const bool hadError = m_connection.hasError();
        const unsigned long errors = m_connection.errorCount();
        std::vector<Original> added;
        if (!writeXkb(bindings, added)) return false;
        XSync(display, False);
        if (m_connection.errorCount() == errors) {
            m_originals.insert(m_originals.end(), added.begin(), added.end());
            return true;
        }
        // A refused request changed nothing.
        m_xkbRefused = true;
        if (!hadError) m_connection.clearErrors();
    }
    const unsigned long errors = m_connection.errorCount();
    writeCore(bindings);
    XSync(display, False);
    return m_connection.errorCount() == errors;
}

bool SpareKeymap::writeXkb(const std::vector<SpareBinding>& bindings, std::vector<Original>& added) {
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
            added.push_back({keycode, map, {symbols, symbols + XkbKeyNumSyms(xkb, keycode)}});
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

void SpareKeymap::writeCore(const std::vector<SpareBinding>& bindings) {
    Display* display = m_connection.display();
    std::vector<std::pair<std::uint8_t, std::vector<KeySym>>> keys;
    std::uint8_t first = 255, last = 0;
    for (const SpareBinding& binding : bindings) {
        keys.push_back({binding.keycode, {binding.plain, binding.shifted}});
        first = std::min(first, binding.keycode);
        last = std::max(last, binding.keycode);
    }
    // What the keycodes had, read in one request, for those not yet borrowed.
    int width = 0;
    KeySym* before = XGetKeyboardMapping(display, first, last - first + 1, &width);
    for (const SpareBinding& binding : bindings) {
        const auto known = std::find_if(m_coreOriginals.begin(), m_coreOriginals.end(),
                                        [&](const CoreOriginal& o) { return o.keycode == binding.keycode; });
        if (known != m_coreOriginals.end()) continue;
        CoreOriginal original{binding.keycode, {}};
        if (before) {
            const KeySym* symbols = before + (binding.keycode - first) * width;
            original.symbols.assign(symbols, symbols + width);
        }
        m_coreOriginals.push_back(std::move(original));
    }
    if (before) XFree(before);
    sendCore(std::move(keys));
}

void SpareKeymap::sendCore(std::vector<std::pair<std::uint8_t, std::vector<KeySym>>> keys) {
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t start = 0; start < keys.size();) {
        std::size_t end = start + 1;
        while (end < keys.size() && keys[end].first == keys[end - 1].first + 1) ++end;
        std::size_t width = 1;
        for (std::size_t i = start; i < end; ++i) width = std::max(width, keys[i].second.size());
        std::vector<KeySym> symbols((end - start) * width, NoSymbol);
        for (std::size_t i = start; i < end; ++i)
            std::copy(keys[i].second.begin(), keys[i].second.end(), symbols.begin() + (i - start) * width);
        XChangeKeyboardMapping(m_connection.display(), keys[start].first, static_cast<int>(width),
                               symbols.data(), static_cast<int>(end - start));
        start = end;
    }
}

void SpareKeymap::restore() {
    if (!m_coreOriginals.empty()) {
        std::vector<std::pair<std::uint8_t, std::vector<KeySym>>> keys;
        for (const CoreOriginal& original : m_coreOriginals)
            keys.push_back({original.keycode, original.symbols});
        sendCore(std::move(keys));
        m_coreOriginals.clear();
    }
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
