#pragma once

// Private to the store: opening an SQLite file.

#include <SQLiteCpp/Database.h>

#include <QString>
#include <memory>

namespace tastalo::sqlite {

// Opens an existing file, never creating one. `flags` is OPEN_READONLY or
// OPEN_READWRITE. Throws Fallimento (Database).
std::unique_ptr<SQLite::Database> apri(const QString& percorso, int flags, int attesaMs);

}  // namespace tastalo::sqlite
