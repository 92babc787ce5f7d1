#pragma once

// Private to the store: a query result from an OLE DB provider (Windows).

#include <QString>

#include "store/recordset_righe.h"

namespace tastalo {

// Each reading opens the provider's data source, runs the query, takes every
// row and releases all it used before it returns: nothing of the provider
// stays open while the result is read.
class RecordsetOleDb final : public RecordsetRighe {
public:
    // Throws Fallimento (ProviderOleDb).
    RecordsetOleDb(QString stringaConnessione, QString istruzione);

    void primo() override;

private:
    void leggi();

    QString m_stringaConnessione;
    QString m_istruzione;
};

}  // namespace tastalo
