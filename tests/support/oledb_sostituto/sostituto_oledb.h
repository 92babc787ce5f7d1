#pragma once

// The stand-in for SQL Server Compact's OLE DB provider: what the DLL and the
// tests that register it share. It answers the provider's ProgID with the
// data source, session, command and rowset interfaces the store uses, over
// an SQLite file beside the one named: for "Dati.sdf", "Dati.sdf.sqlite".
// Its failures carry SQLite's words after "Sostituto OLE DB: ".

#include <windows.h>

namespace tastalo::prova::sostituto {

// {C0280173-6758-4794-AF2A-3A47E29596C6}
inline constexpr CLSID kClsid = {
    0xc0280173, 0x6758, 0x4794, {0xaf, 0x2a, 0x3a, 0x47, 0xe2, 0x95, 0x96, 0xc6}};
inline constexpr wchar_t kClsidTesto[] = L"{C0280173-6758-4794-AF2A-3A47E29596C6}";
inline constexpr wchar_t kProgId[] = L"Microsoft.SQLSERVER.CE.OLEDB.3.5";
inline constexpr wchar_t kSuffissoSqlite[] = L".sqlite";
inline constexpr wchar_t kPrefissoParole[] = L"Sostituto OLE DB: ";

}  // namespace tastalo::prova::sostituto
