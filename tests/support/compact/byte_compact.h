#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Little-endian integers into the bytes of a page or a record.
namespace tastalo::prova::compact::dettaglio {

using Byte = std::vector<std::uint8_t>;

inline constexpr std::size_t kPagina = 4096;

inline void metti16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void metti32(std::uint8_t* p, std::uint32_t v) {
    metti16(p, static_cast<std::uint16_t>(v));
    metti16(p + 2, static_cast<std::uint16_t>(v >> 16));
}
inline void metti64(std::uint8_t* p, std::uint64_t v) {
    metti32(p, static_cast<std::uint32_t>(v));
    metti32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

inline void aggiungi16(Byte& b, std::uint16_t v) {
    b.resize(b.size() + 2);
    metti16(b.data() + b.size() - 2, v);
}
inline void aggiungi32(Byte& b, std::uint32_t v) {
    b.resize(b.size() + 4);
    metti32(b.data() + b.size() - 4, v);
}

// A page's first 16 bytes: checksum (left 0: not computed), type and
// logical id, sequence number, zero.
inline void intestaPagina(std::uint8_t* pagina, std::uint32_t tipo, std::uint32_t idLogico,
                          std::uint32_t sequenza) {
    metti32(pagina, 0);
    metti32(pagina + 4, tipo << 20 | idLogico);
    metti32(pagina + 8, sequenza);
    metti32(pagina + 12, 0);
}

}  // namespace tastalo::prova::compact::dettaglio
