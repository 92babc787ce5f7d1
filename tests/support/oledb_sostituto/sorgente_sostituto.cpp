#include "sorgente_sostituto.h"

#include <oledberr.h>

#include "errore_sostituto.h"
#include "sessione_sostituto.h"
#include "sostituto_oledb.h"

namespace tastalo::prova::sostituto {

namespace {
// DBPROPSET_DBINIT, written out: oledb.h defines it only once per program.
constexpr GUID kInsiemeInit = {0xc8b522bc, 0x5cf3, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
}  // namespace

SorgenteSostituto::~SorgenteSostituto() { Uninitialize(); }

IUnknown* SorgenteSostituto::interfaccia(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IDBInitialize) return static_cast<IDBInitialize*>(this);
    if (iid == IID_IDBProperties) return static_cast<IDBProperties*>(this);
    if (iid == IID_IDBCreateSession) return static_cast<IDBCreateSession*>(this);
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT SorgenteSostituto::SetProperties(ULONG numeroInsiemi, DBPROPSET insiemi[]) {
    if (m_db) return DB_E_ERRORSOCCURRED;
    ULONG impostate = 0, tutte = 0;
    for (ULONG i = 0; i < numeroInsiemi; ++i) {
        for (ULONG p = 0; p < insiemi[i].cProperties; ++p) {
            DBPROP& proprieta = insiemi[i].rgProperties[p];
            ++tutte;
            if (insiemi[i].guidPropertySet == kInsiemeInit &&
                proprieta.dwPropertyID == DBPROP_INIT_DATASOURCE && V_VT(&proprieta.vValue) == VT_BSTR) {
                m_percorso.assign(V_BSTR(&proprieta.vValue), SysStringLen(V_BSTR(&proprieta.vValue)));
                proprieta.dwStatus = DBPROPSTATUS_OK;
                ++impostate;
            } else {
                proprieta.dwStatus = DBPROPSTATUS_NOTSUPPORTED;
            }
        }
    }
    if (impostate == tutte) return S_OK;
    return impostate ? DB_S_ERRORSOCCURRED : DB_E_ERRORSOCCURRED;
}

HRESULT SorgenteSostituto::Initialize() {
    if (m_db) return DB_E_ALREADYINITIALIZED;
    const std::string file = inUtf8(m_percorso + kSuffissoSqlite);
    sqlite3* db = nullptr;
    int codice = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // The engine keeps its own rules: a reference that forbids a delete holds.
    if (codice == SQLITE_OK) codice = sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    if (codice != SQLITE_OK) {
        const HRESULT esito = fallisciSqlite(db, codice, false);
        sqlite3_close(db);
        return esito;
    }
    m_db = db;
    return S_OK;
}

HRESULT SorgenteSostituto::Uninitialize() {
    if (sqlite3_close(m_db) != SQLITE_OK) return DB_E_OBJECTOPEN;
    m_db = nullptr;
    return S_OK;
}

HRESULT SorgenteSostituto::CreateSession(IUnknown* esterno, REFIID iid, IUnknown** sessione) {
    if (!sessione) return E_INVALIDARG;
    *sessione = nullptr;
    if (esterno) return DB_E_NOAGGREGATION;
    if (!m_db) return E_UNEXPECTED;
    auto* nuova = new SessioneSostituto(this);
    const HRESULT esito = nuova->QueryInterface(iid, reinterpret_cast<void**>(sessione));
    nuova->Release();
    return esito;
}

}  // namespace tastalo::prova::sostituto
