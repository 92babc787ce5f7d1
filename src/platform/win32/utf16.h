#pragma once

#include <string>
#include <string_view>

// UTF-16, the encoding of the Windows wide-character calls. Plain C++ so the
// conversions are checked on every platform.
namespace tastalo::platform::win32 {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// True for a Unicode scalar value: a code point that is not a surrogate.
constexpr bool isScalarValue(char32_t c) noexcept { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// Characters beyond U+FFFF become surrogate pairs; anything that is not a
// scalar value becomes U+FFFD.
std::u16string toUtf16(std::u32string_view text);

// Surrogate pairs become one character; a lone surrogate becomes U+FFFD.
std::u32string fromUtf16(std::u16string_view text);

}  // namespace tastalo::platform::win32
