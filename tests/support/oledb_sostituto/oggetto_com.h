#pragma once

// What every object of the stand-in shares: one reference count for all its
// interfaces, and the count of live objects that tells when the DLL may go.

#include <windows.h>

namespace tastalo::prova::sostituto {

class OggettoCom {
public:
    OggettoCom();
    virtual ~OggettoCom();
    OggettoCom(const OggettoCom&) = delete;
    OggettoCom& operator=(const OggettoCom&) = delete;

    static bool nessunoVivo();

protected:
    ULONG aggiungi() { return static_cast<ULONG>(InterlockedIncrement(&m_riferimenti)); }
    ULONG togli();
    HRESULT interroga(REFIID iid, void** p);
    // The interface `iid` of this object, or null; IUnknown included.
    virtual IUnknown* interfaccia(REFIID iid) = 0;

private:
    LONG m_riferimenti = 1;
};

}  // namespace tastalo::prova::sostituto

// IUnknown and ISupportErrorInfo of a class of the stand-in: every interface
// it answers keeps an error object on failure.
#define SOSTITUTO_IUNKNOWN                                                                   \
    STDMETHODIMP QueryInterface(REFIID iid, void** p) override { return interroga(iid, p); } \
    STDMETHODIMP_(ULONG) AddRef() override { return aggiungi(); }                            \
    STDMETHODIMP_(ULONG) Release() override { return togli(); }                              \
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return interfaccia(iid) ? S_OK : S_FALSE; }
