#pragma once

#include <sqlite3.h>
#include <windows.h>

#include <string>

namespace tastalo::prova::sostituto {

// Sets the thread's error object with "Sostituto OLE DB: " and the words,
// as a provider does, and answers `esito`.
HRESULT fallisci(HRESULT esito, const std::wstring& parole);
// SQLite's words for its connection; a violated constraint as OLE DB's
// integrity violation, a statement it cannot prepare as an error in the
// command, anything else as E_FAIL.
HRESULT fallisciSqlite(sqlite3* db, int codice, bool preparando);

std::wstring daUtf8(const char* testo);
std::string inUtf8(const std::wstring& testo);

}  // namespace tastalo::prova::sostituto
