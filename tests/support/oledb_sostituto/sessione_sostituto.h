#pragma once

#include <oledb.h>

#include "oggetto_com.h"

namespace tastalo::prova::sostituto {

class SorgenteSostituto;

// A session: it makes commands, and keeps its data source alive.
class SessioneSostituto final : public IDBCreateCommand, public ISupportErrorInfo, public OggettoCom {
public:
    explicit SessioneSostituto(SorgenteSostituto* sorgente);
    SOSTITUTO_IUNKNOWN

    STDMETHODIMP CreateCommand(IUnknown* esterno, REFIID iid, IUnknown** comando) override;

    SorgenteSostituto* sorgente() const { return m_sorgente; }

private:
    ~SessioneSostituto() override;
    IUnknown* interfaccia(REFIID iid) override;

    SorgenteSostituto* m_sorgente;
};

}  // namespace tastalo::prova::sostituto
