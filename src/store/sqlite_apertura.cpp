#include "store/sqlite_impl.h"

namespace tastalo::sqlite {

void fallisci(sqlite3* db, int codice) {
    throw Fallimento(OrigineFallimento::Database, codicePrimario(codice),
                     db ? sqlite3_errmsg(db) : sqlite3_errstr(codice));
}

void fallisci(int codice, const char* messaggio) {
    throw Fallimento(OrigineFallimento::Database, codicePrimario(codice), messaggio);
}

void fallisci(const SQLite::Exception& e) {
    // SQLiteCpp reports its own misuse (no SQLite code) as -1.
    const int codice = e.getErrorCode() < 0 ? SQLITE_MISUSE : e.getErrorCode();
    throw Fallimento(OrigineFallimento::Database, codicePrimario(codice), e.what());
}

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
