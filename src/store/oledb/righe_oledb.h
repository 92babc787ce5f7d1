#pragma once

// Private to the store: the rows of an OLE DB rowset as the program reads them.

#include <oledb.h>

#include "store/recordset_righe.h"

namespace tastalo::oledb {

// Every row of the rowset, its columns by position with their names.
// Integers come as integers, reals as reals, bytes as bytes, everything
// else as the provider writes it as text; a text or bytes longer than
// first bound is read again whole, never cut. Throws Fallimento (ProviderOleDb).
RecordsetRighe::Righe leggiRighe(IRowset* rowset);

}  // namespace tastalo::oledb
