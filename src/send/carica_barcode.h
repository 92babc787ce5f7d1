#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace tastalo {

class ArchivioListe;

// The most barcodes one send can carry; one more fails with 6 "Overflow"
// before anything is typed.
inline constexpr int kMassimoBarcode = 32767;

// Reads the barcodes of list `idLista` afresh, in the order the database
// gives them. No rows: an empty sequence. A null barcode fails with 94.
std::vector<QString> CaricaBarcode(const ArchivioListe& archivio, const QString& stringaConnessione,
                                   std::int32_t idLista);

}  // namespace tastalo
