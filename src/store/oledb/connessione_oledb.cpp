#include "store/oledb/connessione_oledb.h"

#include <winerror.h>

#include "store/oledb/fallimento_oledb.h"
#include "store/oledb/sessione_oledb.h"

namespace tastalo {

ConnessioneOleDb::ConnessioneOleDb(const QString& stringaConnessione)
    : m_sessione(std::make_unique<oledb::SessioneOleDb>(stringaConnessione)) {}

ConnessioneOleDb::~ConnessioneOleDb() = default;

void ConnessioneOleDb::chiudi() noexcept { m_sessione.reset(); }

void ConnessioneOleDb::esegui(const QString& istruzione) {
    if (!m_sessione) oledb::fallisci(E_UNEXPECTED, "la connessione è chiusa");
    m_sessione->esegui(istruzione);
}

}  // namespace tastalo
