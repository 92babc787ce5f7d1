#include "platform/win32/key_strokes.h"

#include <algorithm>

#include "platform/title_match.h"
#include "platform/win32/utf16.h"

namespace tastalo::platform::win32 {
namespace {

void pressAndRelease(std::vector<KeyStroke>& strokes, KeyStroke::Kind kind, std::uint16_t code) {
    strokes.push_back({kind, code, false});
    strokes.push_back({kind, code, true});
}

bool isAltOrWin(std::uint16_t key) {
    return key == vk::kLeftAlt || key == vk::kRightAlt || key == vk::kLeftWin || key == vk::kRightWin;
}

}  // namespace

const std::vector<std::uint16_t>& modifierKeys() {
    static const std::vector<std::uint16_t> keys = {
        vk::kLeftShift, vk::kRightShift, vk::kLeftControl, vk::kRightControl,
        vk::kLeftAlt,   vk::kRightAlt,   vk::kLeftWin,     vk::kRightWin,
    };
    return keys;
}

std::optional<std::size_t> firstUntypeable(std::u32string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isScalarValue(text[i]) || !isTypeable(text[i])) return i;
    }
    return std::nullopt;
}

std::vector<KeyStroke> strokesForText(std::u32string_view text) {
    std::vector<KeyStroke> strokes;
    strokes.reserve(text.size() * 2);
    for (char32_t c : text) {
        if (c == U'\t') {
            pressAndRelease(strokes, KeyStroke::Kind::VirtualKey, vk::kTab);
            continue;
        }
        for (char16_t unit : toUtf16(std::u32string_view(&c, 1))) {
            pressAndRelease(strokes, KeyStroke::Kind::Character, unit);
        }
    }
    return strokes;
}

std::vector<KeyStroke> strokesForEnter() {
    std::vector<KeyStroke> strokes;
    pressAndRelease(strokes, KeyStroke::Kind::VirtualKey, vk::kReturn);
    return strokes;
}

std::vector<KeyStroke> releaseOf(const std::vector<std::uint16_t>& heldModifiers) {
    std::vector<KeyStroke> strokes;
    if (std::any_of(heldModifiers.begin(), heldModifiers.end(), isAltOrWin)) {
        pressAndRelease(strokes, KeyStroke::Kind::VirtualKey, vk::kMask);
    }
    for (std::uint16_t key : heldModifiers) {
        strokes.push_back({KeyStroke::Kind::VirtualKey, key, true});
    }
    return strokes;
}

}  // namespace tastalo::platform::win32
