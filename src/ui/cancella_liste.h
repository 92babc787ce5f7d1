#pragma once

#include <QString>

namespace tastalo {

class ArchivioListe;
class Messaggi;

// Deletes the list whose id is `idListaTesto` (decimal text), or every list
// when `tutte` is true (the id text is then not used), through its own
// connection. A failure is told as a critical box "<code> - <description>"
// and goes no further: the caller reloads its lists either way. Rows of
// movimenti are left to the file's own rules.
void CancellaListe(const ArchivioListe& archivio, const QString& stringaConnessione, Messaggi& messaggi,
                   const QString& idListaTesto, bool tutte);

}  // namespace tastalo
