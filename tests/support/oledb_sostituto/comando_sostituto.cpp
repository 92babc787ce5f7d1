#include "comando_sostituto.h"

#include <oledberr.h>
#include <sqlite3.h>

#include <cwchar>

#include "errore_sostituto.h"
#include "righe_sostituto.h"
#include "sessione_sostituto.h"
#include "sorgente_sostituto.h"

namespace tastalo::prova::sostituto {

namespace {
// DBGUID_DEFAULT (= DBGUID_DBSQL), written out: oledb.h defines it only once per program.
constexpr GUID kDialettoSql = {0xc8b521fb, 0x5cf3, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
}  // namespace

ComandoSostituto::ComandoSostituto(SessioneSostituto* sessione) : m_sessione(sessione) {
    static_cast<IDBCreateCommand*>(m_sessione)->AddRef();
}

ComandoSostituto::~ComandoSostituto() { static_cast<IDBCreateCommand*>(m_sessione)->Release(); }

IUnknown* ComandoSostituto::interfaccia(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_ICommand || iid == IID_ICommandText) {
        return static_cast<ICommandText*>(this);
    }
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT ComandoSostituto::SetCommandText(REFGUID dialetto, LPCOLESTR testo) {
    if (dialetto != kDialettoSql && dialetto != GUID_NULL) return DB_E_DIALECTNOTSUPPORTED;
    m_conTesto = testo && *testo;
    m_testo = m_conTesto ? testo : L"";
    return S_OK;
}

HRESULT ComandoSostituto::GetCommandText(GUID* dialetto, LPOLESTR* testo) {
    if (!testo) return E_INVALIDARG;
    *testo = nullptr;
    if (!m_conTesto) return DB_E_NOCOMMAND;
    const std::size_t byte = (m_testo.size() + 1) * sizeof(wchar_t);
    *testo = static_cast<LPOLESTR>(CoTaskMemAlloc(byte));
    if (!*testo) return E_OUTOFMEMORY;
    std::wmemcpy(*testo, m_testo.c_str(), m_testo.size() + 1);
    if (dialetto) *dialetto = kDialettoSql;
    return S_OK;
}

HRESULT ComandoSostituto::GetDBSession(REFIID iid, IUnknown** sessione) {
    if (!sessione) return E_INVALIDARG;
    return static_cast<IDBCreateCommand*>(m_sessione)
        ->QueryInterface(iid, reinterpret_cast<void**>(sessione));
}

HRESULT ComandoSostituto::Execute(IUnknown* esterno, REFIID iid, DBPARAMS*, DBROWCOUNT* righeCambiate,
                                  IUnknown** rowset) {
    if (rowset) *rowset = nullptr;
    if (righeCambiate) *righeCambiate = DB_COUNTUNAVAILABLE;
    if (esterno) return DB_E_NOAGGREGATION;
    if (iid != IID_NULL && !rowset) return E_INVALIDARG;
    if (!m_conTesto) return DB_E_NOCOMMAND;

    sqlite3* db = m_sessione->sorgente()->db();
    sqlite3_stmt* istruzione = nullptr;
    int codice = sqlite3_prepare16_v2(db, m_testo.c_str(), -1, &istruzione, nullptr);
    if (codice != SQLITE_OK) return fallisciSqlite(db, codice, true);

    if (sqlite3_column_count(istruzione) > 0) {
        auto* righe = new RigheSostituto();
        codice = righe->leggi(istruzione);
        HRESULT esito = codice == SQLITE_DONE ? S_OK : fallisciSqlite(db, codice, false);
        sqlite3_finalize(istruzione);
        if (SUCCEEDED(esito) && iid != IID_NULL) {
            esito = static_cast<IRowset*>(righe)->QueryInterface(iid, reinterpret_cast<void**>(rowset));
        }
        static_cast<IRowset*>(righe)->Release();
        return esito;
    }
    while ((codice = sqlite3_step(istruzione)) == SQLITE_ROW) {
    }
    const HRESULT esito = codice == SQLITE_DONE ? S_OK : fallisciSqlite(db, codice, false);
    sqlite3_finalize(istruzione);
    if (FAILED(esito)) return esito;
    if (righeCambiate) *righeCambiate = sqlite3_changes(db);
    return S_OK;
}

}  // namespace tastalo::prova::sostituto
