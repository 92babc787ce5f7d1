#include "store/compact/testo_compact.h"

namespace tastalo::compact {

namespace {

void aggiungiUtf8(std::string& testo, char32_t c) {
    if (c < 0x80) {
        testo += static_cast<char>(c);
    } else if (c < 0x800) {
        testo += static_cast<char>(0xC0 | (c >> 6));
        testo += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        testo += static_cast<char>(0xE0 | (c >> 12));
        testo += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        testo += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        testo += static_cast<char>(0xF0 | (c >> 18));
        testo += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        testo += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        testo += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next character of UTF-8 text; a byte that does not start a valid
// sequence counts as a character of its own (names come from our own
// conversions, so this only guards against a caller's stray bytes).
char32_t prossimo(std::string_view testo, std::size_t& i) {
    const auto primo = static_cast<unsigned char>(testo[i++]);
    int seguono = primo >= 0xF0 ? 3 : primo >= 0xE0 ? 2 : primo >= 0xC0 ? 1 : 0;
    char32_t c = seguono == 3   ? (primo & 0x07u)
                 : seguono == 2 ? (primo & 0x0Fu)
                 : seguono == 1 ? (primo & 0x1Fu)
                                : primo;
    if (seguono == 0) return primo < 0x80 ? c : (primo | 0x80000000u);
    if (i + static_cast<std::size_t>(seguono) > testo.size()) return primo | 0x80000000u;
    for (int k = 0; k < seguono; ++k) {
        const auto b = static_cast<unsigned char>(testo[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) return primo | 0x80000000u;
        c = (c << 6) | (b & 0x3Fu);
    }
    i += static_cast<std::size_t>(seguono);
    return c;
}

char32_t minuscola(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    return c;
}

}  // namespace

std::string utf8DaLatin1(const std::uint8_t* byte, std::size_t quanti) {
    std::string testo;
    testo.reserve(quanti);
    for (std::size_t i = 0; i < quanti; ++i) aggiungiUtf8(testo, byte[i]);
    return testo;
}

std::string utf8DaUtf16(const std::uint8_t* byte, std::size_t quanti) {
    std::string testo;
    testo.reserve(quanti);
    const std::size_t unita = quanti / 2;
    for (std::size_t i = 0; i < unita; ++i) {
        char32_t c = static_cast<char32_t>(byte[2 * i] | (byte[2 * i + 1] << 8));
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < unita) {
            const auto basso = static_cast<char32_t>(byte[2 * i + 2] | (byte[2 * i + 3] << 8));
            if (basso >= 0xDC00 && basso <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (basso - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        aggiungiUtf8(testo, c);
    }
    return testo;
}

bool ugualiSenzaMaiuscole(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (minuscola(prossimo(a, i)) != minuscola(prossimo(b, j))) return false;
    }
    return i == a.size() && j == b.size();
}

}  // namespace tastalo::compact
