// DBGUID_DEFAULT is defined by oledb.h itself when asked for, before any
// header includes it.
#define DBINITCONSTANTS
#include "store/oledb/sessione_oledb.h"

#include <msdasc.h>

#include <string>

#include "store/oledb/fallimento_oledb.h"
#include "store/oledb/righe_oledb.h"

namespace tastalo::oledb {

namespace {

std::wstring testoLargo(const QString& testo) { return testo.toStdWString(); }

// The provider's data source, its properties set from the connection string
// (by the OLE DB service components, as ADO has them set), not yet initialised.
HRESULT creaSorgente(const QString& stringaConnessione, PuntatoreCom<IDBInitialize>& sorgente) {
    PuntatoreCom<IDataInitialize> servizi;
    HRESULT esito = CoCreateInstance(CLSID_MSDAINITIALIZE, nullptr, CLSCTX_INPROC_SERVER, IID_IDataInitialize,
                                     servizi.ricevi());
    if (FAILED(esito)) return esito;
    std::wstring stringa = testoLargo(stringaConnessione);
    esito = servizi->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, stringa.data(), IID_IDBInitialize,
                                   reinterpret_cast<IUnknown**>(sorgente.ricevi()));
    if (SUCCEEDED(esito) && !sorgente) esito = E_NOINTERFACE;
    return esito;
}

}  // namespace

bool providerDisponibile(const QString& stringaConnessione) {
    const ApartamentoCom apartamento;
    PuntatoreCom<IDBInitialize> sorgente;
    return SUCCEEDED(creaSorgente(stringaConnessione, sorgente));
}

SessioneOleDb::SessioneOleDb(const QString& stringaConnessione) {
    HRESULT esito = creaSorgente(stringaConnessione, m_sorgente);
    if (FAILED(esito)) fallisci(esito, nullptr, IID_IDataInitialize);
    esito = m_sorgente->Initialize();
    if (FAILED(esito)) fallisci(esito, m_sorgente.get(), IID_IDBInitialize);

    PuntatoreCom<IDBCreateSession> creaSessione;
    esito = m_sorgente->QueryInterface(IID_IDBCreateSession, creaSessione.ricevi());
    if (FAILED(esito)) fallisci(esito, m_sorgente.get(), IID_IDBInitialize);
    esito = creaSessione->CreateSession(nullptr, IID_IDBCreateCommand,
                                        reinterpret_cast<IUnknown**>(m_sessione.ricevi()));
    if (FAILED(esito)) fallisci(esito, creaSessione.get(), IID_IDBCreateSession);
}

PuntatoreCom<ICommandText> SessioneOleDb::comando(const QString& istruzione) {
    PuntatoreCom<ICommandText> comando;
    HRESULT esito =
        m_sessione->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(comando.ricevi()));
    if (FAILED(esito)) fallisci(esito, m_sessione.get(), IID_IDBCreateCommand);
    const std::wstring testo = testoLargo(istruzione);
    esito = comando->SetCommandText(DBGUID_DEFAULT, testo.c_str());
    if (FAILED(esito)) fallisci(esito, comando.get(), IID_ICommandText);
    return comando;
}

void SessioneOleDb::esegui(const QString& istruzione) {
    PuntatoreCom<ICommandText> c = comando(istruzione);
    const HRESULT esito = c->Execute(nullptr, IID_NULL, nullptr, nullptr, nullptr);
    if (FAILED(esito)) fallisci(esito, c.get(), IID_ICommand);
}

RecordsetRighe::Righe SessioneOleDb::leggi(const QString& istruzione) {
    PuntatoreCom<ICommandText> c = comando(istruzione);
    PuntatoreCom<IRowset> righe;
    const HRESULT esito =
        c->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(righe.ricevi()));
    if (FAILED(esito)) fallisci(esito, c.get(), IID_ICommand);
    if (!righe) fallisci(E_NOINTERFACE, "il provider non ha dato righe per: " + istruzione.toStdString());
    return leggiRighe(righe.get());
}

}  // namespace tastalo::oledb
