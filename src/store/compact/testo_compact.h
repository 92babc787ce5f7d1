#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Names as the file stores them (one byte per character, or UTF-16LE) turned
// into UTF-8, and compared the way the engine finds tables and columns:
// without regard to case.
namespace tastalo::compact {

std::string utf8DaLatin1(const std::uint8_t* byte, std::size_t quanti);
// Unpaired surrogates become U+FFFD.
std::string utf8DaUtf16(const std::uint8_t* byte, std::size_t quanti);

// Equal once ASCII and Latin-1 capitals are folded to small letters.
bool ugualiSenzaMaiuscole(std::string_view a, std::string_view b);

}  // namespace tastalo::compact
