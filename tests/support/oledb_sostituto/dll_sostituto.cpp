// The DLL's entry points: the class object of the stand-in's data source.
#include <windows.h>

#include "oggetto_com.h"
#include "sorgente_sostituto.h"
#include "sostituto_oledb.h"

namespace tastalo::prova::sostituto {

namespace {

LONG g_blocchi = 0;

// One per DLL, never destroyed: its references only keep the DLL loaded.
class FabbricaSostituto final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** p) override {
        if (!p) return E_POINTER;
        *p = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        if (!*p) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&g_blocchi)); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&g_blocchi)); }
    STDMETHODIMP CreateInstance(IUnknown* esterno, REFIID iid, void** p) override {
        if (!p) return E_POINTER;
        *p = nullptr;
        if (esterno) return CLASS_E_NOAGGREGATION;
        auto* sorgente = new SorgenteSostituto();
        const HRESULT esito = static_cast<IDBInitialize*>(sorgente)->QueryInterface(iid, p);
        static_cast<IDBInitialize*>(sorgente)->Release();
        return esito;
    }
    STDMETHODIMP LockServer(BOOL blocca) override {
        if (blocca) {
            InterlockedIncrement(&g_blocchi);
        } else {
            InterlockedDecrement(&g_blocchi);
        }
        return S_OK;
    }
};

FabbricaSostituto g_fabbrica;

}  // namespace

}  // namespace tastalo::prova::sostituto

using namespace tastalo::prova::sostituto;

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** p) {
    if (!p) return E_POINTER;
    *p = nullptr;
    if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return g_fabbrica.QueryInterface(iid, p);
}

STDAPI DllCanUnloadNow() {
    return OggettoCom::nessunoVivo() && InterlockedCompareExchange(&g_blocchi, 0, 0) == 0 ? S_OK : S_FALSE;
}
