#include "store/provider_compact.h"

// Outside Windows there is no OLE DB: the Compact reader answers alone.
namespace tastalo::provider_compact {

bool disponibile(const QString&) { return false; }

std::unique_ptr<Recordset::Impl> query(const QString&, const QString&) { return nullptr; }

std::unique_ptr<Connessione::Impl> connessione(const QString&) { return nullptr; }

}  // namespace tastalo::provider_compact
