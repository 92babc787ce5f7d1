#pragma once

#include <oledb.h>
#include <oledberr.h>

#include <string>

#include "oggetto_com.h"

namespace tastalo::prova::sostituto {

class SessioneSostituto;

// A command: its text runs on the session's SQLite file. A query gives a
// rowset of all its rows; any other statement runs to its end and says how
// many rows it changed.
class ComandoSostituto final : public ICommandText, public ISupportErrorInfo, public OggettoCom {
public:
    explicit ComandoSostituto(SessioneSostituto* sessione);
    SOSTITUTO_IUNKNOWN

    STDMETHODIMP Cancel() override { return DB_E_CANTCANCEL; }
    STDMETHODIMP Execute(IUnknown* esterno, REFIID iid, DBPARAMS* parametri, DBROWCOUNT* righeCambiate,
                         IUnknown** rowset) override;
    STDMETHODIMP GetDBSession(REFIID iid, IUnknown** sessione) override;
    STDMETHODIMP GetCommandText(GUID* dialetto, LPOLESTR* testo) override;
    STDMETHODIMP SetCommandText(REFGUID dialetto, LPCOLESTR testo) override;

private:
    ~ComandoSostituto() override;
    IUnknown* interfaccia(REFIID iid) override;

    SessioneSostituto* m_sessione;
    std::wstring m_testo;
    bool m_conTesto = false;
};

}  // namespace tastalo::prova::sostituto
