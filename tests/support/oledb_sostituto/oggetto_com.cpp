#include "oggetto_com.h"

namespace tastalo::prova::sostituto {

namespace {
LONG g_vivi = 0;
}

OggettoCom::OggettoCom() { InterlockedIncrement(&g_vivi); }
OggettoCom::~OggettoCom() { InterlockedDecrement(&g_vivi); }

bool OggettoCom::nessunoVivo() { return InterlockedCompareExchange(&g_vivi, 0, 0) == 0; }

ULONG OggettoCom::togli() {
    const LONG rimasti = InterlockedDecrement(&m_riferimenti);
    if (rimasti == 0) delete this;
    return static_cast<ULONG>(rimasti);
}

HRESULT OggettoCom::interroga(REFIID iid, void** p) {
    if (!p) return E_POINTER;
    IUnknown* trovata = interfaccia(iid);
    *p = trovata;
    if (!trovata) return E_NOINTERFACE;
    trovata->AddRef();
    return S_OK;
}

}  // namespace tastalo::prova::sostituto
