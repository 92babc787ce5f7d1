#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/compact/byte_compact.h"
#include "support/compact/scrittore_compact.h"

// A row as the engine stores it: column count, null bitmap, bit columns
// packed in bytes, fixed columns at their offsets, one start offset per
// variable column, variable data.
namespace tastalo::prova::compact::dettaglio {

// A variable column's bytes; `unByte` marks a string stored one byte per
// character (bit 15 of its offset). std::nullopt is null.
struct Variabile {
    Byte dati;
    bool unByte = false;
};

// `nulli` is the null bitmap as stored (ceil(colonne / 8) bytes).
Byte componiRecord(std::uint32_t colonne, const Byte& nulli, const Byte& bit, const Byte& fissi,
                   const std::vector<std::optional<Variabile>>& variabili);

// Where each column of a table goes in a row: the n-th bit, a byte offset in
// the fixed area or the n-th variable column, by position.
struct Disposizione {
    std::vector<std::uint16_t> posto;
    std::size_t bit = 0;
    std::size_t byteFissi = 0;
    std::size_t variabili = 0;
};

bool variabile(std::uint16_t tipo);
std::uint32_t lunghezzaMassima(const ColonnaScritta& colonna);
// Fails (std::invalid_argument) on a type this writer does not know.
Disposizione disponi(const TabellaScritta& tabella);

// The record of row `indice`; a value that does not suit its column fails
// (std::invalid_argument) naming table, column and row.
Byte codificaRiga(const TabellaScritta& tabella, const Disposizione& disposizione, std::size_t indice);

}  // namespace tastalo::prova::compact::dettaglio
