#include "righe_sostituto.h"

#include <oledberr.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwchar>

#include "errore_sostituto.h"

namespace tastalo::prova::sostituto {

namespace {

// ntext's length as the engine gives it.
constexpr DBLENGTH kLungo = 536870911;

bool contiene(const std::string& testo, const char* parola) {
    return testo.find(parola) != std::string::npos;
}

template <class T>
void poni(void* dati, DBBYTEOFFSET dove, const T& valore) {
    std::memcpy(static_cast<std::byte*>(dati) + dove, &valore, sizeof valore);
}

}  // namespace

IUnknown* RigheSostituto::interfaccia(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IRowset) return static_cast<IRowset*>(this);
    if (iid == IID_IAccessor) return static_cast<IAccessor*>(this);
    if (iid == IID_IColumnsInfo) return static_cast<IColumnsInfo*>(this);
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

int RigheSostituto::leggi(sqlite3_stmt* istruzione) {
    const int numero = sqlite3_column_count(istruzione);
    for (int i = 0; i < numero; ++i) {
        const char* dichiarato = sqlite3_column_decltype(istruzione, i);
        std::string tipo = dichiarato ? dichiarato : "";
        std::transform(tipo.begin(), tipo.end(), tipo.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        const std::size_t aperta = tipo.find('(');
        const DBLENGTH dimensione =
            aperta == std::string::npos ? 0 : std::strtoul(tipo.c_str() + aperta + 1, nullptr, 10);
        Colonna c{daUtf8(sqlite3_column_name(istruzione, i)), DBTYPE_WSTR, dimensione,
                  DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL};
        if (contiene(tipo, "BIGINT")) {
            c.tipo = DBTYPE_I8;
            c.dimensione = 8;
        } else if (contiene(tipo, "INT")) {
            c.tipo = DBTYPE_I4;
            c.dimensione = 4;
        } else if (contiene(tipo, "FLOA") || contiene(tipo, "REAL") || contiene(tipo, "DOUB")) {
            c.tipo = DBTYPE_R8;
            c.dimensione = 8;
        } else if (contiene(tipo, "BINARY") || contiene(tipo, "BLOB") || contiene(tipo, "IMAGE")) {
            c.tipo = DBTYPE_BYTES;
        }
        if ((c.tipo == DBTYPE_WSTR || c.tipo == DBTYPE_BYTES) && c.dimensione == 0) {
            c.dimensione = kLungo;
            c.attributi |= DBCOLUMNFLAGS_ISLONG;
        }
        m_colonne.push_back(std::move(c));
    }
    int codice;
    while ((codice = sqlite3_step(istruzione)) == SQLITE_ROW) {
        for (int i = 0; i < numero; ++i) {
            Cella cella;
            cella.tipo = sqlite3_column_type(istruzione, i);
            if (cella.tipo == SQLITE_INTEGER) cella.intero = sqlite3_column_int64(istruzione, i);
            if (cella.tipo == SQLITE_FLOAT) cella.reale = sqlite3_column_double(istruzione, i);
            if (cella.tipo == SQLITE_BLOB) {
                const auto* byte = static_cast<const char*>(sqlite3_column_blob(istruzione, i));
                cella.byte.assign(byte ? byte : "",
                                  static_cast<std::size_t>(sqlite3_column_bytes(istruzione, i)));
            } else if (cella.tipo != SQLITE_NULL) {
                const auto* testo = static_cast<const wchar_t*>(sqlite3_column_text16(istruzione, i));
                cella.testo.assign(testo,
                                   static_cast<std::size_t>(sqlite3_column_bytes16(istruzione, i)) / 2);
            }
            m_celle.push_back(std::move(cella));
        }
    }
    return codice;
}

DBSTATUS RigheSostituto::scrivi(const Cella& cella, const DBBINDING& legame, std::byte* dati) const {
    DBSTATUS stato = DBSTATUS_S_OK;
    DBLENGTH lunghezza = 0;
    std::byte* valore = dati + legame.obValue;
    const bool conValore = legame.dwPart & DBPART_VALUE;
    // Text and bytes: as much as the room holds (text with its terminator),
    // the whole length told either way.
    const auto copia = [&](const void* sorgente, DBLENGTH byte, DBLENGTH terminatore) {
        lunghezza = byte;
        const DBLENGTH spazio = legame.cbMaxLen >= terminatore ? legame.cbMaxLen - terminatore : 0;
        const DBLENGTH copiati =
            std::min(byte, spazio) / (terminatore ? terminatore : 1) * (terminatore ? terminatore : 1);
        if (copiati < byte) stato = DBSTATUS_S_TRUNCATED;
        if (!conValore) return;
        std::memcpy(valore, sorgente, copiati);
        if (terminatore) std::memset(valore + copiati, 0, terminatore);
    };
    if (cella.tipo == SQLITE_NULL) {
        stato = DBSTATUS_S_ISNULL;
    } else if (legame.wType == DBTYPE_I8 && cella.tipo == SQLITE_INTEGER) {
        lunghezza = sizeof(std::int64_t);
        if (conValore) std::memcpy(valore, &cella.intero, sizeof cella.intero);
    } else if (legame.wType == DBTYPE_R8 && (cella.tipo == SQLITE_FLOAT || cella.tipo == SQLITE_INTEGER)) {
        const double reale = cella.tipo == SQLITE_FLOAT ? cella.reale : static_cast<double>(cella.intero);
        lunghezza = sizeof reale;
        if (conValore) std::memcpy(valore, &reale, sizeof reale);
    } else if (legame.wType == DBTYPE_WSTR && cella.tipo != SQLITE_BLOB) {
        copia(cella.testo.data(), cella.testo.size() * sizeof(wchar_t), sizeof(wchar_t));
    } else if (legame.wType == DBTYPE_BYTES && cella.tipo == SQLITE_BLOB) {
        copia(cella.byte.data(), cella.byte.size(), 0);
    } else {
        stato = DBSTATUS_E_CANTCONVERTVALUE;
    }
    if (legame.dwPart & DBPART_STATUS) poni(dati, legame.obStatus, stato);
    if (legame.dwPart & DBPART_LENGTH) poni(dati, legame.obLength, lunghezza);
    return stato;
}

HRESULT RigheSostituto::GetData(HROW riga, HACCESSOR accessore, void* dati) {
    const auto trovato = m_accessori.find(accessore);
    if (trovato == m_accessori.end()) return DB_E_BADACCESSORHANDLE;
    const std::size_t righe = m_colonne.empty() ? 0 : m_celle.size() / m_colonne.size();
    if (riga == 0 || riga > righe) return DB_E_BADROWHANDLE;
    if (!dati) return E_INVALIDARG;
    std::size_t buoni = 0, errori = 0;
    for (const DBBINDING& legame : trovato->second) {
        const Cella& cella = m_celle[(riga - 1) * m_colonne.size() + (legame.iOrdinal - 1)];
        const DBSTATUS stato = scrivi(cella, legame, static_cast<std::byte*>(dati));
        if (stato == DBSTATUS_S_OK || stato == DBSTATUS_S_ISNULL) {
            ++buoni;
        } else if (stato == DBSTATUS_S_TRUNCATED) {
            ++buoni;
            ++errori;
        } else {
            ++errori;
        }
    }
    if (!errori) return S_OK;
    return buoni ? DB_S_ERRORSOCCURRED : DB_E_ERRORSOCCURRED;
}

HRESULT RigheSostituto::GetNextRows(HCHAPTER, DBROWOFFSET salto, DBROWCOUNT richieste, DBCOUNTITEM* ottenute,
                                    HROW** righe) {
    if (!ottenute || !righe) return E_INVALIDARG;
    *ottenute = 0;
    if (salto < 0 || richieste < 0) return DB_E_CANTFETCHBACKWARDS;
    const std::size_t tutte = m_colonne.empty() ? 0 : m_celle.size() / m_colonne.size();
    const std::size_t inizio = std::min(m_prossima + static_cast<std::size_t>(salto), tutte);
    const std::size_t numero = std::min(static_cast<std::size_t>(richieste), tutte - inizio);
    m_prossima = inizio;
    if (numero == 0) return DB_S_ENDOFROWSET;
    if (!*righe) {
        *righe = static_cast<HROW*>(CoTaskMemAlloc(numero * sizeof(HROW)));
        if (!*righe) return E_OUTOFMEMORY;
    }
    for (std::size_t i = 0; i < numero; ++i) (*righe)[i] = inizio + i + 1;
    m_prossima = inizio + numero;
    *ottenute = numero;
    return numero < static_cast<std::size_t>(richieste) ? DB_S_ENDOFROWSET : S_OK;
}

// Every row stays in memory while the rowset lives: holding or releasing a
// handle changes nothing.
HRESULT RigheSostituto::AddRefRows(DBCOUNTITEM numero, const HROW[], DBREFCOUNT conteggi[],
                                   DBROWSTATUS stati[]) {
    for (DBCOUNTITEM i = 0; i < numero; ++i) {
        if (conteggi) conteggi[i] = 1;
        if (stati) stati[i] = DBROWSTATUS_S_OK;
    }
    return S_OK;
}

HRESULT RigheSostituto::ReleaseRows(DBCOUNTITEM numero, const HROW righe[], DBROWOPTIONS[],
                                    DBREFCOUNT conteggi[], DBROWSTATUS stati[]) {
    return AddRefRows(numero, righe, conteggi, stati);
}

HRESULT RigheSostituto::RestartPosition(HCHAPTER) {
    m_prossima = 0;
    return S_OK;
}

HRESULT RigheSostituto::CreateAccessor(DBACCESSORFLAGS tipo, DBCOUNTITEM numero, const DBBINDING legami[],
                                       DBLENGTH, HACCESSOR* accessore, DBBINDSTATUS stati[]) {
    if (!accessore || (numero && !legami)) return E_INVALIDARG;
    *accessore = 0;
    if (!(tipo & DBACCESSOR_ROWDATA)) return DB_E_BADACCESSORFLAGS;
    bool errori = false;
    for (DBCOUNTITEM i = 0; i < numero; ++i) {
        const bool buono = legami[i].iOrdinal >= 1 && legami[i].iOrdinal <= m_colonne.size();
        if (stati) stati[i] = buono ? DBBINDSTATUS_OK : DBBINDSTATUS_BADORDINAL;
        errori = errori || !buono;
    }
    if (errori) return DB_E_ERRORSOCCURRED;
    *accessore = ++m_ultimoAccessore;
    m_accessori[*accessore].assign(legami, legami + numero);
    return S_OK;
}

HRESULT RigheSostituto::AddRefAccessor(HACCESSOR accessore, DBREFCOUNT* conteggio) {
    if (!m_accessori.count(accessore)) return DB_E_BADACCESSORHANDLE;
    if (conteggio) *conteggio = 1;
    return S_OK;
}

HRESULT RigheSostituto::ReleaseAccessor(HACCESSOR accessore, DBREFCOUNT* conteggio) {
    if (!m_accessori.erase(accessore)) return DB_E_BADACCESSORHANDLE;
    if (conteggio) *conteggio = 0;
    return S_OK;
}

HRESULT RigheSostituto::GetColumnInfo(DBORDINAL* numero, DBCOLUMNINFO** info, OLECHAR** testi) {
    if (!numero || !info || !testi) return E_INVALIDARG;
    std::size_t caratteri = 0;
    for (const Colonna& c : m_colonne) caratteri += c.nome.size() + 1;
    *info = static_cast<DBCOLUMNINFO*>(CoTaskMemAlloc(m_colonne.size() * sizeof(DBCOLUMNINFO)));
    *testi = static_cast<OLECHAR*>(CoTaskMemAlloc(caratteri * sizeof(OLECHAR)));
    if (!*info || !*testi) {
        CoTaskMemFree(*info);
        CoTaskMemFree(*testi);
        *info = nullptr;
        *testi = nullptr;
        return E_OUTOFMEMORY;
    }
    OLECHAR* nome = *testi;
    for (std::size_t i = 0; i < m_colonne.size(); ++i) {
        const Colonna& c = m_colonne[i];
        std::wmemcpy(nome, c.nome.c_str(), c.nome.size() + 1);
        DBCOLUMNINFO& d = (*info)[i];
        d = {};
        d.pwszName = nome;
        d.iOrdinal = i + 1;
        d.dwFlags = c.attributi;
        d.ulColumnSize = c.dimensione;
        d.wType = c.tipo;
        d.bPrecision = static_cast<BYTE>(~0);
        d.bScale = static_cast<BYTE>(~0);
        d.columnid.eKind = DBKIND_NAME;
        d.columnid.uName.pwszName = nome;
        nome += c.nome.size() + 1;
    }
    *numero = m_colonne.size();
    return S_OK;
}

}  // namespace tastalo::prova::sostituto
