#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tastalo::bench {

// `count` barcodes of 6 to 20 characters drawn from letters, digits and the
// punctuation of a US keyboard; the same seed gives the same barcodes.
std::vector<std::u32string> mixedBarcodes(int count, std::uint32_t seed = 20240501);

// The same kind of barcodes, each with 1 to 4 characters a US keymap lacks
// (à é ì ò ù ß € £ ° § µ Ω π Ж ж) put in after its first character, as
// operators in Italy scan them: about 2.5 a barcode, 15 distinct ones.
std::vector<std::u32string> offKeymapBarcodes(int count, std::uint32_t seed = 20240502);

// `distinct` different CJK ideographs, three to a barcode between digits,
// each used in its own barcode and once more four barcodes later: far more
// than the spare keycodes hold at once.
std::vector<std::u32string> manyDistinctBarcodes(int distinct);

// Barcodes of letters, digits and US punctuation, each with a character
// doubled and every third one with a character tripled ("-D8FnyVV/dBZd",
// "+++"); the first character is a letter or digit, as a spreadsheet
// reads a text that starts with "=" or "+" as a formula.
std::vector<std::u32string> repeatedCharacterBarcodes(int count, std::uint32_t seed = 20240503);

// What a target that logs each entered line receives for them, in UTF-8:
// every barcode followed by a line end.
std::string expectedLog(const std::vector<std::u32string>& barcodes);

// Keys pressed to type them: every character, and Enter after each barcode.
std::size_t keystrokes(const std::vector<std::u32string>& barcodes);

}  // namespace tastalo::bench
