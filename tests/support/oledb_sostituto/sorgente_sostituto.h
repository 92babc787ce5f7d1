#pragma once

#include <oledb.h>
#include <sqlite3.h>

#include <string>

#include "oggetto_com.h"

namespace tastalo::prova::sostituto {

// The data source: takes "Data Source" from the properties that the OLE DB
// service components set from the connection string, opens its SQLite file
// at Initialize and keeps it open until it goes.
class SorgenteSostituto final : public IDBInitialize,
                                public IDBProperties,
                                public IDBCreateSession,
                                public ISupportErrorInfo,
                                public OggettoCom {
public:
    SOSTITUTO_IUNKNOWN

    STDMETHODIMP Initialize() override;
    STDMETHODIMP Uninitialize() override;

    // The store has its properties set from the connection string only.
    STDMETHODIMP GetProperties(ULONG, const DBPROPIDSET[], ULONG*, DBPROPSET**) override { return E_NOTIMPL; }
    STDMETHODIMP GetPropertyInfo(ULONG, const DBPROPIDSET[], ULONG*, DBPROPINFOSET**, OLECHAR**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetProperties(ULONG numeroInsiemi, DBPROPSET insiemi[]) override;

    STDMETHODIMP CreateSession(IUnknown* esterno, REFIID iid, IUnknown** sessione) override;

    sqlite3* db() const { return m_db; }

private:
    ~SorgenteSostituto() override;
    IUnknown* interfaccia(REFIID iid) override;

    std::wstring m_percorso;
    sqlite3* m_db = nullptr;
};

}  // namespace tastalo::prova::sostituto
