#pragma once

#include <QString>

namespace tastalo {

// The kind of list database a file holds, told by its content: the name
// (Dati.sdf) says nothing, since both kinds carry it.
enum class FormatoFile {
    SQLite,
    Compact,  // SQL Server Compact: read only
    Altro,    // missing, unreadable or neither: left to SQLite, which says why
};

FormatoFile riconosciFormato(const QString& percorso);

}  // namespace tastalo
