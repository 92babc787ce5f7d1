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
#include "store/recordset_impl.h"

namespace tastalo::sqlite {

// The primary result code (extended codes carry more in their high bits).
inline std::int32_t codicePrimario(int codice) { return codice & 0xff; }

[[noreturn]] void fallisci(sqlite3* db, int codice);
[[noreturn]] void fallisci(int codice, const char* messaggio);
[[noreturn]] void fallisci(const SQLite::Exception& e);

// Opens an existing file, never creating one. `flags` is OPEN_READONLY or
// OPEN_READWRITE. Throws Fallimento (Database).
std::unique_ptr<SQLite::Database> apri(const QString& percorso, int flags, int attesaMs);

// A prepared statement, finalized when it goes.
struct FinalizzaIstruzione {
    void operator()(sqlite3_stmt* s) const noexcept { sqlite3_finalize(s); }
};
using IstruzionePreparata = std::unique_ptr<sqlite3_stmt, FinalizzaIstruzione>;

}  // namespace tastalo::sqlite

namespace tastalo {

// A query on an SQLite file: the statement as given, stepped row by row.
class RecordsetSqlite final : public Recordset::Impl {
public:
    // Opens the file read-only, prepares the query and stands on its first row.
    RecordsetSqlite(const QString& percorso, int attesaMs, const QString& istruzione);

    bool aperto() const override { return m_istruzione != nullptr; }
    void chiudi() noexcept override;
    bool riga() const override { return m_riga; }
    void avanti() override { passo(); }
    void primo() override;
    const std::vector<QString>& nomi() const override { return m_nomi; }
    Valore valore(int posizione) const override;

private:
    void passo();

    // Declared before the statement so that the statement is finalized first.
    std::unique_ptr<SQLite::Database> m_db;
    sqlite::IstruzionePreparata m_istruzione;
    bool m_riga = false;
    std::vector<QString> m_nomi;
};

struct Connessione::Impl {
    // Opens the file read-write with foreign-key rules enforced.
    Impl(const QString& percorso, int attesaMs);

    std::unique_ptr<SQLite::Database> db;
};

}  // namespace tastalo
