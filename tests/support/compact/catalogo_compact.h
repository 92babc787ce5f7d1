#pragma once

#include <cstdint>
#include <string>

#include "support/compact/byte_compact.h"
#include "support/compact/scrittore_compact.h"

// The rows of the catalog heap (object 0x403, __SysObjects) that describe a
// table and its columns, byte for byte as the engine writes them for a plain
// table: 38 columns, of which the catalog fills the same ones every time.
namespace tastalo::prova::compact::dettaglio {

inline constexpr std::uint16_t kIdCatalogo = 0x403;

// The name in Latin-1, one byte per character; std::invalid_argument for an
// empty name, a character past U+00FF or invalid UTF-8.
std::string latin1(const std::string& utf8);

// `numero` is the row's serial number in the catalog (any, distinct).
Byte rigaCatalogoTabella(const std::string& nomeLatin1, std::uint32_t idOggetto, std::uint16_t numero);
// `posto`: the byte offset of a fixed column, the index of a variable or a
// bit column.
Byte rigaCatalogoColonna(const std::string& tabellaLatin1, const std::string& nomeLatin1,
                         const ColonnaScritta& colonna, std::uint16_t posizione, std::uint16_t posto,
                         std::uint16_t numero, std::uint32_t versione);

}  // namespace tastalo::prova::compact::dettaglio
