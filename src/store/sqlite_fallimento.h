#pragma once

// Private to the store: SQLite's failures as the program's own.

#include <SQLiteCpp/Exception.h>
#include <sqlite3.h>

#include <cstdint>

namespace tastalo::sqlite {

// The primary result code (extended codes carry more in their high bits).
inline std::int32_t codicePrimario(int codice) { return codice & 0xff; }

// Each throws Fallimento (Database) with the primary code and SQLite's words.
[[noreturn]] void fallisci(sqlite3* db, int codice);
[[noreturn]] void fallisci(int codice, const char* messaggio);
[[noreturn]] void fallisci(const SQLite::Exception& e);

}  // namespace tastalo::sqlite
