#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>

#include "store/connessione.h"
#include "store/recordset.h"

namespace tastalo {

// The statements the program issues, with their exact texts.
namespace istruzioni {
QString queryListe();                                 // "select * from liste order by lista"
QString queryBarcode(std::int32_t idLista);           // "Select Barcode from movimenti where idLista=7"
QString cancellaTutte();                              // "delete from liste"
QString cancellaUna(const QString& idListaTesto);     // "delete from liste where idLista='7';"
}  // namespace istruzioni

// The database file that a connection string names: the text after
// "Data Source=" up to the final ";".
QString percorsoDaStringaConnessione(const QString& stringaConnessione);

// Opens query results and connections on the database that a connection
// string names. Keeps no state between operations. Never creates a file: a
// missing file is a failure.
class ArchivioListe {
public:
    explicit ArchivioListe(std::chrono::milliseconds attesaSeBloccato = std::chrono::seconds(3));

    // Read-only. Throws Failure (Database).
    std::unique_ptr<Recordset> apriQuery(const QString& stringaConnessione,
                                         const QString& istruzione) const;
    // Read-write, with the file's foreign-key rules enforced. Throws Failure (Database).
    std::unique_ptr<Connessione> apriConnessione(const QString& stringaConnessione) const;

private:
    std::chrono::milliseconds m_attesaSeBloccato;
};

// Close an open result or connection and empty the caller's reference.
// Nothing happens for an empty reference; neither raises a failure.
void ChiudiRecordset(std::unique_ptr<Recordset>& recordset);
void ChiudiConnessione(std::unique_ptr<Connessione>& connessione);

}  // namespace tastalo
