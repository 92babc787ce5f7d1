#include "store/oledb/recordset_oledb.h"

#include <utility>

#include "store/oledb/sessione_oledb.h"

namespace tastalo {

RecordsetOleDb::RecordsetOleDb(QString stringaConnessione, QString istruzione)
    : m_stringaConnessione(std::move(stringaConnessione)), m_istruzione(std::move(istruzione)) {
    leggi();
}

void RecordsetOleDb::leggi() {
    m_corrente = 0;
    m_righe = oledb::SessioneOleDb(m_stringaConnessione).leggi(m_istruzione);
}

void RecordsetOleDb::primo() {
    // A failed reading leaves no rows of the earlier one behind.
    m_righe = {};
    leggi();
}

}  // namespace tastalo
