#pragma once

#include <QString>
#include <cstddef>

namespace tastalo::makedb {

struct Conversione {
    std::size_t tabelle = 0;
    std::size_t righe = 0;
};

// Copies every user table of a SQL Server Compact file into a new SQLite
// database: same table and column names, rows in the file's order, read from
// one state of the file. Integers and bit become INTEGER, real and float
// REAL, nchar, nvarchar and ntext TEXT COLLATE NOCASE (compared without
// regard to case, as the engine does); datetime, money (four decimals) and
// uniqueidentifier TEXT as the reader writes them; varbinary and image BLOB.
// All in one transaction, in a file moved into place once complete. An
// existing `destinazione` is replaced only with `sostituisci` (else Program,
// kFileEsistente); the reader's failures (FileCompact) and SQLite's
// (Database) as they come, with no file left behind.
Conversione convertiCompact(const QString& sorgente, const QString& destinazione, bool sostituisci = false);

}  // namespace tastalo::makedb
