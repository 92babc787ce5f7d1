#include "sessione_sostituto.h"

#include <oledberr.h>

#include "comando_sostituto.h"
#include "sorgente_sostituto.h"

namespace tastalo::prova::sostituto {

SessioneSostituto::SessioneSostituto(SorgenteSostituto* sorgente) : m_sorgente(sorgente) {
    static_cast<IDBInitialize*>(m_sorgente)->AddRef();
}

SessioneSostituto::~SessioneSostituto() { static_cast<IDBInitialize*>(m_sorgente)->Release(); }

IUnknown* SessioneSostituto::interfaccia(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IDBCreateCommand) return static_cast<IDBCreateCommand*>(this);
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT SessioneSostituto::CreateCommand(IUnknown* esterno, REFIID iid, IUnknown** comando) {
    if (!comando) return E_INVALIDARG;
    *comando = nullptr;
    if (esterno) return DB_E_NOAGGREGATION;
    auto* nuovo = new ComandoSostituto(this);
    const HRESULT esito = nuovo->QueryInterface(iid, reinterpret_cast<void**>(comando));
    nuovo->Release();
    return esito;
}

}  // namespace tastalo::prova::sostituto
