#include "store/sqlite_fallimento.h"

#include "core/fallimento.h"

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

}  // namespace tastalo::sqlite
