#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tastalo {

class ArchivioListe;

// One entry of the list combo: its visible text and the list id it carries.
struct VoceLista {
    QString testo;
    std::int32_t id = 0;
};

// Reads every list of the list query, in its order: "<idLista> - <lista>"
// (a null joined as empty text) and idLista as a 32-bit id. Empty when the
// database holds no list. Throws Fallimento (database, or conversion for an id
// that is null or not a 32-bit integer) before the caller has touched any
// widget, so a failure part way leaves the combo as it was.
std::vector<VoceLista> leggiListe(const ArchivioListe& archivio, const QString& stringaConnessione);

// Nothing when the path names an existing file; otherwise, for the operator,
// which file it is and why no list can be read from it: it does not exist, it
// is a folder, or it is no regular file (a device, a pipe...).
std::optional<QString> motivoFileAssente(const QString& percorso);

}  // namespace tastalo
