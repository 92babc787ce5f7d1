#pragma once

// Private to the store: the SQLite side of results and connections. Only the
// store's own sources include this header.

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <QString>
#include <QStringView>
#include <memory>
#include <string>
#include <vector>

#include "core/fallimento.h"
#include "store/connessione.h"
#include "store/recordset.h"

namespace tastalo::sqlite {

// The primary result code (extended codes carry more in their high bits).
inline std::int32_t codicePrimario(int codice) { return codice & 0xff; }

[[noreturn]] void fallisci(sqlite3* db, int codice);
[[noreturn]] void fallisci(int codice, const char* messaggio);
[[noreturn]] void fallisci(const SQLite::Exception& e);

// Opens an existing file, never creating one. `flags` is OPEN_READONLY or
// OPEN_READWRITE. Throws Fallimento (Database).
std::unique_ptr<SQLite::Database> apri(const QString& percorso, int flags, int attesaMs);

struct ChiudiStatement {
    void operator()(sqlite3_stmt* s) const noexcept { sqlite3_finalize(s); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, ChiudiStatement>;

}  // namespace tastalo::sqlite

namespace tastalo {

struct Recordset::Impl {
    // Opens the file read-only, prepares the query and stands on its first row.
    Impl(const QString& percorso, int attesaMs, const QString& istruzione);

    void passo();
    void richiediAperto() const;
    void richiediRiga() const;
    Valore valore(int posizione) const;
    void chiudi() noexcept;

    // Declared before the statement so that the statement is finalized first.
    std::unique_ptr<SQLite::Database> db;
    sqlite::StatementPtr statement;
    bool riga = false;
    std::vector<QString> nomi;
    // The last name looked up: readers ask for the same field on every row.
    mutable QString ultimoNome;
    mutable int ultimaPosizione = -1;
};

struct Connessione::Impl {
    // Opens the file read-write with foreign-key rules enforced.
    Impl(const QString& percorso, int attesaMs);

    std::unique_ptr<SQLite::Database> db;
};

}  // namespace tastalo
