#include "store/sqlite_apertura.h"

#include "store/sqlite_fallimento.h"

namespace tastalo::sqlite {

std::unique_ptr<SQLite::Database> apri(const QString& percorso, int flags, int attesaMs) {
    // SQLite opens a private temporary database for an empty name and an
    // in-memory one for ":memory:"; either would hide a missing file behind
    // an empty database, so both fail as a file that cannot be opened.
    if (percorso.isEmpty() || percorso == u":memory:") {
        fallisci(SQLITE_CANTOPEN, sqlite3_errstr(SQLITE_CANTOPEN));
    }
    try {
        return std::make_unique<SQLite::Database>(percorso.toUtf8().toStdString(), flags, attesaMs);
    } catch (const SQLite::Exception& e) {
        fallisci(e);
    }
}

}  // namespace tastalo::sqlite
