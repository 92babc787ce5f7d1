#pragma once

// Private to the store: SQL Server Compact's own OLE DB provider, the one
// that the connection string names, where this process can create it (on
// Windows, where the engine is installed and of the program's width).

#include <QString>
#include <memory>

#include "store/connessione_impl.h"
#include "store/recordset_impl.h"

namespace tastalo::provider_compact {

// Whether the provider can be created: any failure counts as "not installed".
bool disponibile(const QString& stringaConnessione);
// Each throws Fallimento (ProviderOleDb) with the provider's code and words.
std::unique_ptr<Recordset::Impl> query(const QString& stringaConnessione, const QString& istruzione);
std::unique_ptr<Connessione::Impl> connessione(const QString& stringaConnessione);

}  // namespace tastalo::provider_compact
