#pragma once

// Private to the store: the statements of one operation, sent to the OLE DB
// provider that a connection string names.

#include <oledb.h>

#include <QString>

#include "store/oledb/apartamento_com.h"
#include "store/oledb/puntatore_com.h"
#include "store/recordset_righe.h"

namespace tastalo::oledb {

// True when the provider that the connection string names can be created
// in this process: registered, and of this process's width. Any failure
// counts as "not installed", whatever its code.
bool providerDisponibile(const QString& stringaConnessione);

// A data source of the provider, initialised (the provider opens the file),
// with a session on it: everything of it is released when it goes.
class SessioneOleDb {
public:
    // Throws Fallimento (ProviderOleDb).
    explicit SessioneOleDb(const QString& stringaConnessione);

    // A statement that returns no rows; the count of affected rows is not asked for.
    void esegui(const QString& istruzione);
    // A query, every row of it.
    RecordsetRighe::Righe leggi(const QString& istruzione);

private:
    PuntatoreCom<ICommandText> comando(const QString& istruzione);

    // Declared first: the apartment is left after every interface is released.
    ApartamentoCom m_apartamento;
    PuntatoreCom<IDBInitialize> m_sorgente;
    PuntatoreCom<IDBCreateCommand> m_sessione;
};

}  // namespace tastalo::oledb
