#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace tastalo {

class ArchivioListe;
class Messaggi;

// Deletes the list `idLista`, or every list when there is none, through the
// store. A failure is told as a critical box "<code> - <description>" and goes
// no further: the caller reloads its lists either way. A SQL Server Compact
// file is never written: the operator is told why and what to do instead.
// Rows of movimenti are left to the file's own rules.
void CancellaListe(const ArchivioListe& archivio, const QString& stringaConnessione, Messaggi& messaggi,
                   std::optional<std::int32_t> idLista);

}  // namespace tastalo
