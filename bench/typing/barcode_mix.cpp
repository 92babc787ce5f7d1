#include "barcode_mix.h"

#include <random>

#include "platform/title_match.h"

namespace tastalo::bench {

std::vector<std::u32string> mixedBarcodes(int count, std::uint32_t seed) {
    const std::u32string alphabet =
        U"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
        U"-_.,;:/+%()[]{}!@#$&*=?<>'\"~^|\\`";
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(6, 20);
    std::vector<std::u32string> barcodes;
    for (int i = 0; i < count; ++i) {
        std::u32string barcode;
        for (int n = length(random); n > 0; --n) barcode.push_back(alphabet[letter(random)]);
        barcodes.push_back(std::move(barcode));
    }
    return barcodes;
}

std::string expectedLog(const std::vector<std::u32string>& barcodes) {
    std::string log;
    for (const auto& barcode : barcodes) log += platform::toUtf8(barcode) + "\n";
    return log;
}

std::size_t keystrokes(const std::vector<std::u32string>& barcodes) {
    std::size_t keys = 0;
    for (const auto& barcode : barcodes) keys += barcode.size() + 1;
    return keys;
}

}  // namespace tastalo::bench
