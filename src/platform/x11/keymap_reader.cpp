#include "platform/x11/keymap_reader.h"

#include <set>

namespace tastalo::platform::x11 {

namespace {

int levelFor(const XkbKeyTypeRec& type, unsigned int modifiers) {
    const unsigned int relevant = modifiers & type.mods.mask;
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec& entry = type.map[i];
        if (entry.active && entry.mods.mask == relevant) return entry.level;
    }
    return 0;
}

// The group a key really uses when `group` is active, by the key's own rule
// for groups it does not have.
int effectiveGroup(XkbDescPtr xkb, int keycode, int group) {
    const int groups = XkbKeyNumGroups(xkb, keycode);
    if (group < groups) return group;
    const unsigned char info = XkbKeyGroupInfo(xkb, keycode);
    switch (XkbOutOfRangeGroupAction(info)) {
        case XkbRedirectIntoRange: {
            const int target = XkbOutOfRangeGroupNumber(info);
            return target < groups ? target : 0;
        }
        case XkbClampIntoRange: return groups - 1;
        default: return group % groups;
    }
}

std::set<int> modifierKeycodes(Display* display, std::uint8_t& shiftKeycode) {
    std::set<int> keycodes;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map) return keycodes;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            const int keycode = map->modifiermap[modifier * map->max_keypermod + i];
            if (keycode == 0) continue;
            keycodes.insert(keycode);
            if (modifier == ShiftMapIndex && shiftKeycode == 0)
                shiftKeycode = static_cast<std::uint8_t>(keycode);
        }
    }
    XFreeModifiermap(map);
    return keycodes;
}

bool hasNoSymbol(XkbDescPtr xkb, int keycode) {
    const int count = XkbKeyNumGroups(xkb, keycode) == 0 ? 0 : XkbKeyNumSyms(xkb, keycode);
    const KeySym* symbols = XkbKeySymsPtr(xkb, keycode);
    for (int i = 0; i < count; ++i) {
        if (symbols[i] != NoSymbol) return false;
    }
    return true;
}

}  // namespace

KeymapSnapshot readKeymap(Display* display, int group) {
    KeymapSnapshot snapshot;
    XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb) return snapshot;
    const std::set<int> modifiers = modifierKeycodes(display, snapshot.shiftKeycode);
    for (int keycode = xkb->min_key_code; keycode <= xkb->max_key_code; ++keycode) {
        if (hasNoSymbol(xkb, keycode)) {
            if (!modifiers.contains(keycode))
                snapshot.spareKeycodes.push_back(static_cast<std::uint8_t>(keycode));
            continue;
        }
        const int g = effectiveGroup(xkb, keycode, group);
        const XkbKeyTypeRec& type = *XkbKeyKeyType(xkb, keycode, g);
        const int plainLevel = levelFor(type, 0);
        const int shiftLevel = levelFor(type, ShiftMask);
        KeymapSnapshot::Key key;
        key.keycode = static_cast<std::uint8_t>(keycode);
        key.plain = static_cast<KeySym32>(XkbKeySymEntry(xkb, keycode, plainLevel, g));
        if (shiftLevel != plainLevel)
            key.shifted = static_cast<KeySym32>(XkbKeySymEntry(xkb, keycode, shiftLevel, g));
        snapshot.keys.push_back(key);
    }
    XkbFreeKeyboard(xkb, 0, True);
    return snapshot;
}

}  // namespace tastalo::platform::x11
