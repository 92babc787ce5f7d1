#pragma once

#include <cstdint>
#include <vector>

#include "support/compact/byte_compact.h"

// Heap pages (type 4): records from 0x18 on, their slots growing backwards
// from the end of the page; and the page list (type 3) the engine keeps for
// each object at the object's own logical id.
namespace tastalo::prova::compact::dettaglio {

struct PaginaLogica {
    std::uint32_t idLogico = 0;
    Byte byte;  // kPagina bytes; sequence number and checksum still 0
};

// Lays the records out in order in heap pages of object `proprietario`,
// numbered from `primoId`. With `dividi`, a record that does not fit in the
// rest of a page is split there, its continuation in slot 0 of the next page,
// as the engine fills pages to the last byte. Without, such a record starts
// a new page, and one longer than a page is left out.
std::vector<PaginaLogica> disponiHeap(const std::vector<Byte>& record, std::uint16_t proprietario,
                                      std::uint32_t primoId, bool dividi = true);

// The page list of an object: count, zero, then the logical ids of its heap
// pages packed three in 64 bits. Only as many as one page holds.
PaginaLogica paginaOggetto(std::uint32_t idOggetto, const std::vector<std::uint32_t>& pagine);

}  // namespace tastalo::prova::compact::dettaglio
