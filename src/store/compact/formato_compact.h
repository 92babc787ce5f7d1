#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "store/compact/tipi_compact.h"

// The fixed numbers of a SQL Server Compact file and little-endian reads of
// its bytes. Every read here is given a buffer the caller has bounded.
namespace tastalo::compact {

inline constexpr std::size_t kDimensionePagina = 4096;

// The first page: the header of the whole file.
inline constexpr std::size_t kOffsetCommit = 0x08;    // grows with every commit
inline constexpr std::size_t kOffsetVersione = 0x10;  // the engine version
inline constexpr std::size_t kOffsetLcid = 0x28;
inline constexpr std::size_t kOffsetRadice = 0x2C;     // physical page of the map root
inline constexpr std::size_t kInizioCifratura = 0x4C;  // non-zero bytes here: an encrypted file
inline constexpr std::size_t kFineCifratura = 0x5C;

// Every page: checksum, type << 20 | logical id, sequence, zero.
inline constexpr std::size_t kDimensioneTestata = 16;
inline constexpr std::uint8_t kTipoRadice = 1;
inline constexpr std::uint8_t kTipoMappa = 2;
inline constexpr std::uint8_t kTipoHeap = 4;
inline constexpr std::uint8_t kTipoValoriLunghi = 5;
inline constexpr std::uint32_t kIdRadice = 1;

// The map: the root lists map pages; each map page packs three 20-bit
// physical page numbers per u64. Its last 8 bytes are not entries.
inline constexpr std::size_t kVociRadice = (kDimensionePagina - kDimensioneTestata - 8) / 4;
inline constexpr std::size_t kParoleMappa = (kDimensionePagina - kDimensioneTestata - 8) / 8;
inline constexpr std::uint32_t kVociMappa = kParoleMappa * 3;
inline constexpr std::uint32_t kPrimoIdMappato = 1027;

// Heap pages: owner, slot count, then records from 0x18; the slot array
// grows backwards from the end of the page.
inline constexpr std::size_t kOffsetProprietario = 0x10;
inline constexpr std::size_t kOffsetSlot = 0x14;
inline constexpr std::size_t kInizioRecord = 0x18;
inline constexpr std::uint32_t kMaxSlot = (kDimensionePagina - kInizioRecord) / 4;
inline constexpr std::uint8_t kSlotContinuazione = 0;
inline constexpr std::uint8_t kSlotVuoto = 1;
inline constexpr std::uint8_t kSlotTesta = 2;

// Long values (ntext, image) beyond the row: whole pages of data after the
// page header.
inline constexpr std::size_t kDatiValoreLungo = kDimensionePagina - kDimensioneTestata;

// The catalog's heap.
inline constexpr std::uint32_t kIdCatalogo = 0x403;

// Column type codes, by their plain names inside the reader.
using namespace tipo;

inline std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t u64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(u32(p)) | (static_cast<std::uint64_t>(u32(p + 4)) << 32);
}

inline std::uint8_t tipoPagina(const std::uint8_t* pagina) {
    return static_cast<std::uint8_t>(u32(pagina + 4) >> 20);
}
inline std::uint32_t idPagina(const std::uint8_t* pagina) { return u32(pagina + 4) & 0xFFFFF; }

// "0x002DD714", "0x0C": how the messages name numbers of the format.
inline std::string esadecimale(std::uint32_t valore, int cifre) {
    static const char kCifre[] = "0123456789ABCDEF";
    std::string testo = "0x";
    for (int i = cifre - 1; i >= 0; --i) testo += kCifre[(valore >> (4 * i)) & 0xF];
    return testo;
}

}  // namespace tastalo::compact
