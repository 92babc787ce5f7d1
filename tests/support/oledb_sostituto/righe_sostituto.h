#pragma once

#include <oledb.h>
#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "oggetto_com.h"

namespace tastalo::prova::sostituto {

// A rowset holding every row of its query, read forward. Columns are typed
// by their declared SQL types, as the engine types them: int as I4, bigint
// as I8, n(var)char(n) as WSTR of n characters, ntext as a long WSTR, float
// as R8, varbinary and image as BYTES. A value converts to text (WSTR), to
// I8, to R8 and, from bytes, to BYTES.
class RigheSostituto final : public IRowset,
                             public IAccessor,
                             public IColumnsInfo,
                             public ISupportErrorInfo,
                             public OggettoCom {
public:
    SOSTITUTO_IUNKNOWN

    // Reads every row of the prepared query: SQLITE_DONE, or SQLite's failure.
    int leggi(sqlite3_stmt* istruzione);

    STDMETHODIMP AddRefRows(DBCOUNTITEM numero, const HROW[], DBREFCOUNT conteggi[],
                            DBROWSTATUS stati[]) override;
    STDMETHODIMP GetData(HROW riga, HACCESSOR accessore, void* dati) override;
    STDMETHODIMP GetNextRows(HCHAPTER, DBROWOFFSET salto, DBROWCOUNT richieste, DBCOUNTITEM* ottenute,
                             HROW** righe) override;
    STDMETHODIMP ReleaseRows(DBCOUNTITEM numero, const HROW[], DBROWOPTIONS[], DBREFCOUNT conteggi[],
                             DBROWSTATUS stati[]) override;
    STDMETHODIMP RestartPosition(HCHAPTER) override;

    STDMETHODIMP AddRefAccessor(HACCESSOR accessore, DBREFCOUNT* conteggio) override;
    STDMETHODIMP CreateAccessor(DBACCESSORFLAGS tipo, DBCOUNTITEM numero, const DBBINDING legami[], DBLENGTH,
                                HACCESSOR* accessore, DBBINDSTATUS stati[]) override;
    // The store never asks an accessor for its bindings.
    STDMETHODIMP GetBindings(HACCESSOR, DBACCESSORFLAGS*, DBCOUNTITEM*, DBBINDING**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP ReleaseAccessor(HACCESSOR accessore, DBREFCOUNT* conteggio) override;

    STDMETHODIMP GetColumnInfo(DBORDINAL* numero, DBCOLUMNINFO** info, OLECHAR** testi) override;
    // The store finds columns by the names GetColumnInfo gives.
    STDMETHODIMP MapColumnIDs(DBORDINAL, const DBID[], DBORDINAL[]) override { return E_NOTIMPL; }

private:
    struct Colonna {
        std::wstring nome;
        DBTYPE tipo;
        DBLENGTH dimensione;
        DBCOLUMNFLAGS attributi;
    };
    struct Cella {
        int tipo = SQLITE_NULL;
        std::int64_t intero = 0;
        double reale = 0;
        std::wstring testo;  // SQLite's own text for the value
        std::string byte;
    };

    IUnknown* interfaccia(REFIID iid) override;
    DBSTATUS scrivi(const Cella& cella, const DBBINDING& legame, std::byte* dati) const;

    std::vector<Colonna> m_colonne;
    std::vector<Cella> m_celle;
    std::size_t m_prossima = 0;
    std::map<HACCESSOR, std::vector<DBBINDING>> m_accessori;
    HACCESSOR m_ultimoAccessore = 0;
};

}  // namespace tastalo::prova::sostituto
