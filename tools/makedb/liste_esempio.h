#pragma once

#include <vector>

#include "database_liste.h"

namespace tastalo::makedb {

// An EAN-13 code: the twelve digits of `base` (its last twelve decimal
// digits, zero-padded) and their check digit.
QString ean13(std::int64_t base);

// A handful of plausible lists ("7 - Magazzino"...), one of them empty.
std::vector<Lista> listeDemo();

// `numeroListe` lists with ids from 1, named "Lista 001"..., each with
// `barcodePerLista` EAN-13 barcodes, distinct across the database for up to
// a million barcodes per list. The same arguments always give the same lists.
std::vector<Lista> listeGenerate(int numeroListe, int barcodePerLista);

}  // namespace tastalo::makedb
