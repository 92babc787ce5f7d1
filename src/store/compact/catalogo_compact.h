#pragma once

#include <cstdint>
#include <vector>

#include "store/compact/file_compact.h"
#include "store/compact/pagine_compact.h"

// The catalog (the heap of __SysObjects): every table with its columns, and
// how a row of each table lays them out.
namespace tastalo::compact {

// A row: u32 column count | null bitmap | bit columns packed in bytes |
// fixed columns | one u16 start per variable column | variable data.
struct Disposizione {
    std::uint32_t colonne = 0;
    std::uint32_t bit = 0;
    std::uint32_t fissi = 0;  // bytes of the fixed area
    std::uint32_t variabili = 0;
};

struct Catalogo {
    std::vector<Tabella> tabelle;
    std::vector<Disposizione> disposizioni;  // one per table, same order
};

Catalogo leggiCatalogo(PagineCompact& pagine);

// The bytes a fixed column of a type the reader knows takes (0 for the
// variable types, the bit and the unknown ones).
std::uint32_t dimensioneFissa(std::uint16_t tipo);
bool tipoVariabile(std::uint16_t tipo);

}  // namespace tastalo::compact
