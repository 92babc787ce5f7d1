#include "platform/win32/utf16.h"

namespace tastalo::platform::win32 {
namespace {

constexpr bool isHighSurrogate(char16_t u) noexcept { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool isLowSurrogate(char16_t u) noexcept { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::u16string toUtf16(std::u32string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (char32_t c : text) {
        if (!isScalarValue(c)) c = kReplacementCharacter;
        if (c <= 0xFFFF) {
            result.push_back(static_cast<char16_t>(c));
        } else {
            const char32_t offset = c - 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
        }
    }
    return result;
}

std::u32string fromUtf16(std::u16string_view text) {
    std::u32string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            const char32_t high = unit - 0xD800u;
            const char32_t low = text[i + 1] - 0xDC00u;
            result.push_back(0x10000 + (high << 10) + low);
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            result.push_back(kReplacementCharacter);
        } else {
            result.push_back(unit);
        }
    }
    return result;
}

}  // namespace tastalo::platform::win32
