#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tastalo::bench {

// `count` barcodes of 6 to 20 characters drawn from letters, digits and the
// punctuation of a US keyboard; the same seed gives the same barcodes.
std::vector<std::u32string> mixedBarcodes(int count, std::uint32_t seed = 20240501);

// What a target that logs each entered line receives for them, in UTF-8:
// every barcode followed by a line end.
std::string expectedLog(const std::vector<std::u32string>& barcodes);

// Keys pressed to type them: every character, and Enter after each barcode.
std::size_t keystrokes(const std::vector<std::u32string>& barcodes);

}  // namespace tastalo::bench
