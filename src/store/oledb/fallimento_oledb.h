#pragma once

// Private to the store: an OLE DB provider's failures as the program's own.

#include <objbase.h>

#include <string>

namespace tastalo::oledb {

// Throws Fallimento (ProviderOleDb) with the HRESULT as its code and the
// words of the provider's error object, when the object whose interface
// failed keeps one; the system's words for the HRESULT otherwise.
[[noreturn]] void fallisci(HRESULT esito, IUnknown* oggetto, REFIID interfaccia);
// A failure the store finds in what the provider handed over.
[[noreturn]] void fallisci(HRESULT esito, const std::string& descrizione);

}  // namespace tastalo::oledb
