#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>

#include "store/connessione.h"
#include "store/recordset.h"

namespace tastalo {

// The one place for list data: the lists, the barcodes of a list and their
// deletion, on the database that a connection string names, whatever its
// format (told by its content): SQLite through the statements of
// istruzioni.h; SQL Server Compact through the engine's own OLE DB provider
// with the same statements where it is installed (Windows), through the
// program's own reader, which never writes, elsewhere. Keeps no state
// between operations. Never creates a file: a missing file is a failure.
class ArchivioListe {
public:
    // How long an operation waits for a file that another program is
    // writing before it fails with SQLite's "database is locked" (5).
    explicit ArchivioListe(std::chrono::milliseconds attesaSeBloccato = std::chrono::seconds(3));

    // Every list, all its columns (idLista first, lista second), ordered by
    // name. Throws Fallimento (Database, FileCompact, ProviderOleDb).
    std::unique_ptr<Recordset> queryListe(const QString& stringaConnessione) const;
    // The field Barcode of every barcode of the list, in the database's order.
    std::unique_ptr<Recordset> queryBarcode(const QString& stringaConnessione, std::int32_t idLista) const;
    // A Compact file without the provider is never written: both fail with
    // FileCompact kSolaLettura and leave it byte for byte as it was.
    void cancellaLista(const QString& stringaConnessione, std::int32_t idLista) const;
    void cancellaTutte(const QString& stringaConnessione) const;

    // An SQLite file only: the statement as given. Read-only. Throws Fallimento (Database).
    std::unique_ptr<Recordset> apriQuery(const QString& stringaConnessione, const QString& istruzione) const;
    // An SQLite file only: read-write, with the file's foreign-key rules
    // enforced. Throws Fallimento (Database).
    std::unique_ptr<Connessione> apriConnessione(const QString& stringaConnessione) const;

private:
    void esegui(const QString& stringaConnessione, const QString& istruzione) const;

    std::chrono::milliseconds m_attesaSeBloccato;
};

}  // namespace tastalo
