#include "errore_sostituto.h"

#include <oledberr.h>

#include "sostituto_oledb.h"

namespace tastalo::prova::sostituto {

HRESULT fallisci(HRESULT esito, const std::wstring& parole) {
    ICreateErrorInfo* crea = nullptr;
    if (FAILED(CreateErrorInfo(&crea))) return esito;
    const std::wstring descrizione = kPrefissoParole + parole;
    crea->SetDescription(const_cast<LPOLESTR>(descrizione.c_str()));
    crea->SetSource(const_cast<LPOLESTR>(kProgId));
    IErrorInfo* errore = nullptr;
    if (SUCCEEDED(crea->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&errore)))) {
        SetErrorInfo(0, errore);
        errore->Release();
    }
    crea->Release();
    return esito;
}

HRESULT fallisciSqlite(sqlite3* db, int codice, bool preparando) {
    HRESULT esito = E_FAIL;
    if ((codice & 0xff) == SQLITE_CONSTRAINT) {
        esito = DB_E_INTEGRITYVIOLATION;
    } else if (preparando) {
        esito = DB_E_ERRORSINCOMMAND;
    }
    return fallisci(esito, daUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(codice)));
}

std::wstring daUtf8(const char* testo) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, testo, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring risultato(static_cast<std::size_t>(n - 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, testo, -1, risultato.data(), n);
    return risultato;
}

std::string inUtf8(const std::wstring& testo) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, testo.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string risultato(static_cast<std::size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, testo.c_str(), -1, risultato.data(), n, nullptr, nullptr);
    return risultato;
}

}  // namespace tastalo::prova::sostituto
