#include "store/provider_compact.h"

#include "store/oledb/connessione_oledb.h"
#include "store/oledb/recordset_oledb.h"
#include "store/oledb/sessione_oledb.h"

namespace tastalo::provider_compact {

bool disponibile(const QString& stringaConnessione) { return oledb::providerDisponibile(stringaConnessione); }

std::unique_ptr<Recordset::Impl> query(const QString& stringaConnessione, const QString& istruzione) {
    return std::make_unique<RecordsetOleDb>(stringaConnessione, istruzione);
}

std::unique_ptr<Connessione::Impl> connessione(const QString& stringaConnessione) {
    return std::make_unique<ConnessioneOleDb>(stringaConnessione);
}

}  // namespace tastalo::provider_compact
