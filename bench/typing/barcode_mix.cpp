#include "barcode_mix.h"

#include <algorithm>
#include <random>
#include <string>

#include "platform/title_match.h"

namespace tastalo::bench {

namespace {

const std::u32string kAlphabet =
    U"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
    U"-_.,;:/+%()[]{}!@#$&*=?<>'\"~^|\\`";
constexpr std::size_t kLettersAndDigits = 62;

}  // namespace

std::vector<std::u32string> offKeymapBarcodes(int count, std::uint32_t seed) {
    const std::u32string offKeymap = U"àéìòùß€£°§µΩπЖж";
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> letter(0, kAlphabet.size() - 1),
        first(0, kLettersAndDigits - 1), other(0, offKeymap.size() - 1);
    std::uniform_int_distribution<int> length(5, 15), extra(1, 4);
    std::vector<std::u32string> barcodes;
    for (int i = 0; i < count; ++i) {
        std::u32string barcode(1, kAlphabet[first(random)]);
        for (int n = length(random); n > 0; --n) barcode.push_back(kAlphabet[letter(random)]);
        for (int n = extra(random); n > 0; --n) {
            std::uniform_int_distribution<std::size_t> at(1, barcode.size());
            barcode.insert(at(random), 1, offKeymap[other(random)]);
        }
        barcodes.push_back(std::move(barcode));
    }
    return barcodes;
}

std::vector<std::u32string> manyDistinctBarcodes(int distinct) {
    std::vector<std::u32string> ideographs, barcodes;
    for (int i = 0; 3 * i < distinct; ++i) {
        std::u32string three;
        for (int k = 3 * i; k < std::min(3 * i + 3, distinct); ++k) three.push_back(char32_t(0x4E00 + 7 * k));
        std::u32string barcode = U"C" + platform::fromUtf8(std::to_string(i)) + three;
        if (i >= 4) barcode += U"-" + ideographs[static_cast<std::size_t>(i - 4)];
        ideographs.push_back(std::move(three));
        barcodes.push_back(std::move(barcode));
    }
    return barcodes;
}

std::vector<std::u32string> repeatedCharacterBarcodes(int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> letter(0, kAlphabet.size() - 1),
        first(0, kLettersAndDigits - 1);
    std::uniform_int_distribution<int> length(5, 15);
    std::vector<std::u32string> barcodes;
    for (int i = 0; i < count; ++i) {
        std::u32string barcode(1, kAlphabet[first(random)]);
        for (int n = length(random); n > 0; --n) barcode.push_back(kAlphabet[letter(random)]);
        std::uniform_int_distribution<std::size_t> at(1, barcode.size() - 1);
        std::size_t k = at(random);
        barcode.insert(k, 1, barcode[k]);
        if (i % 3 == 0) {
            k = at(random);
            barcode.insert(k, 2, barcode[k]);
        }
        barcodes.push_back(std::move(barcode));
    }
    return barcodes;
}

std::vector<std::u32string> mixedBarcodes(int count, std::uint32_t seed) {
    const std::u32string& alphabet = kAlphabet;
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
