#pragma once

// Private to the store: the list queries answered from a SQL Server Compact
// file.

#include <cstdint>

#include "store/compact/valore_compact.h"
#include "store/recordset_compact.h"
#include "store/valore.h"

namespace tastalo {

namespace compact_liste {
// The list query: every column of liste, its rows ordered by lista compared
// without regard to case, accents ordered as in a dictionary (nulls first,
// ties in the table's order).
RecordsetCompact::Lettura liste();
// The barcode query: Barcode of the rows of movimenti whose idLista equals
// the id, in the table's order.
RecordsetCompact::Lettura barcode(std::int32_t idLista);
// A value as the rest of the program reads it.
Valore valore(const compact::ValoreCompact& valore);
}  // namespace compact_liste

}  // namespace tastalo
