#include "store/oledb/righe_oledb.h"

#include <oledberr.h>

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "store/oledb/fallimento_oledb.h"
#include "store/oledb/puntatore_com.h"

namespace tastalo::oledb {

namespace {

// Characters first bound for a text whose length the provider does not
// promise (ntext, a number written as text); longer ones are read again.
constexpr DBLENGTH kTestoIniziale = 256;
// nvarchar's limit in SQL Server Compact: a column declared within it is
// bound whole at once.
constexpr DBLENGTH kTestoDichiarato = 4000;
constexpr DBCOUNTITEM kRighePerVolta = 64;

// A value with its status and length, as the accessor lays it out.
struct Campo {
    DBSTATUS stato;
    DBLENGTH lunghezza;
};
constexpr DBBYTEOFFSET kValore = (sizeof(Campo) + 7) / 8 * 8;

struct Colonna {
    DBORDINAL ordinale;
    DBTYPE tipo;    // as bound: I8, R8, BYTES or WSTR
    DBLENGTH byte;  // room for the value
    DBBYTEOFFSET inizio;
    QString nome;
};

DBTYPE tipoLetto(DBTYPE tipo) {
    switch (tipo) {
        case DBTYPE_I1:
        case DBTYPE_I2:
        case DBTYPE_I4:
        case DBTYPE_I8:
        case DBTYPE_UI1:
        case DBTYPE_UI2:
        case DBTYPE_UI4: return DBTYPE_I8;
        case DBTYPE_R4:
        case DBTYPE_R8: return DBTYPE_R8;
        case DBTYPE_BYTES: return DBTYPE_BYTES;
        default: return DBTYPE_WSTR;
    }
}

DBLENGTH byteIniziali(const DBCOLUMNINFO& info, DBTYPE letto) {
    const bool lungo = (info.dwFlags & DBCOLUMNFLAGS_ISLONG) != 0;
    const bool dichiarato = !lungo && info.ulColumnSize > 0 && info.ulColumnSize <= kTestoDichiarato;
    switch (letto) {
        case DBTYPE_I8: return sizeof(std::int64_t);
        case DBTYPE_R8: return sizeof(double);
        case DBTYPE_BYTES: return dichiarato ? info.ulColumnSize : kTestoIniziale;
        default: {
            const bool testo = info.wType == DBTYPE_WSTR || info.wType == DBTYPE_STR;
            return ((testo && dichiarato ? info.ulColumnSize : kTestoIniziale) + 1) * sizeof(wchar_t);
        }
    }
}

DBBINDING legame(const Colonna& colonna, DBBYTEOFFSET inizio) {
    DBBINDING b{};
    b.iOrdinal = colonna.ordinale;
    b.obStatus = inizio + offsetof(Campo, stato);
    b.obLength = inizio + offsetof(Campo, lunghezza);
    b.obValue = inizio + kValore;
    b.dwPart = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;
    b.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
    b.eParamIO = DBPARAMIO_NOTPARAM;
    b.cbMaxLen = colonna.byte;
    b.wType = colonna.tipo;
    return b;
}

// An accessor of the rowset, released when it goes.
class Accessore {
public:
    Accessore(IRowset* rowset, const std::vector<DBBINDING>& legami, DBLENGTH byteRiga) {
        HRESULT esito = rowset->QueryInterface(IID_IAccessor, m_accessore.ricevi());
        if (FAILED(esito)) fallisci(esito, rowset, IID_IRowset);
        esito = m_accessore->CreateAccessor(DBACCESSOR_ROWDATA, legami.size(), legami.data(), byteRiga,
                                            &m_handle, nullptr);
        if (FAILED(esito)) fallisci(esito, m_accessore.get(), IID_IAccessor);
    }
    ~Accessore() {
        if (m_handle) m_accessore->ReleaseAccessor(m_handle, nullptr);
    }
    Accessore(const Accessore&) = delete;
    Accessore& operator=(const Accessore&) = delete;
    HACCESSOR handle() const { return m_handle; }

private:
    PuntatoreCom<IAccessor> m_accessore;
    HACCESSOR m_handle = 0;
};

// The row handles of one fetch, given back to the rowset when it goes.
struct RigheOttenute {
    IRowset* rowset;
    HROW handle[kRighePerVolta];
    DBCOUNTITEM numero = 0;
    ~RigheOttenute() {
        if (numero) rowset->ReleaseRows(numero, handle, nullptr, nullptr, nullptr);
    }
};

std::vector<Colonna> colonne(IRowset* rowset) {
    PuntatoreCom<IColumnsInfo> info;
    HRESULT esito = rowset->QueryInterface(IID_IColumnsInfo, info.ricevi());
    if (FAILED(esito)) fallisci(esito, rowset, IID_IRowset);
    DBORDINAL numero = 0;
    DBCOLUMNINFO* descrizioni = nullptr;
    OLECHAR* testi = nullptr;
    esito = info->GetColumnInfo(&numero, &descrizioni, &testi);
    if (FAILED(esito)) fallisci(esito, info.get(), IID_IColumnsInfo);
    std::vector<Colonna> risultato;
    DBBYTEOFFSET inizio = 0;
    for (DBORDINAL i = 0; i < numero; ++i) {
        const DBCOLUMNINFO& d = descrizioni[i];
        if (d.iOrdinal == 0 || (d.dwFlags & DBCOLUMNFLAGS_ISBOOKMARK)) continue;
        Colonna c{d.iOrdinal, tipoLetto(d.wType), 0, inizio,
                  d.pwszName ? QString::fromWCharArray(d.pwszName) : QString()};
        c.byte = byteIniziali(d, c.tipo);
        inizio += (kValore + c.byte + 7) / 8 * 8;
        risultato.push_back(std::move(c));
    }
    CoTaskMemFree(descrizioni);
    CoTaskMemFree(testi);
    return risultato;
}

Valore valore(const Colonna& colonna, const std::byte* campo) {
    Campo c;
    std::memcpy(&c, campo, sizeof c);
    const std::byte* dato = campo + kValore;
    switch (colonna.tipo) {
        case DBTYPE_I8: {
            std::int64_t v;
            std::memcpy(&v, dato, sizeof v);
            return Valore::intero(v);
        }
        case DBTYPE_R8: {
            double v;
            std::memcpy(&v, dato, sizeof v);
            return Valore::reale(v);
        }
        case DBTYPE_BYTES:
            return Valore::binario(
                QByteArray(reinterpret_cast<const char*>(dato), static_cast<qsizetype>(c.lunghezza)));
        default:
            return Valore::testo(QString(reinterpret_cast<const QChar*>(dato),
                                         static_cast<qsizetype>(c.lunghezza / sizeof(wchar_t))));
    }
}

[[noreturn]] void valoreNonDato(const Colonna& colonna, DBSTATUS stato) {
    fallisci(DB_E_ERRORSOCCURRED, "il provider non ha dato il valore della colonna " +
                                      colonna.nome.toStdString() + " (stato " + std::to_string(stato) + ")");
}

// One column of a row read again with room for all `lunghezza` bytes that
// the provider said it holds.
Valore rileggi(IRowset* rowset, HROW riga, Colonna colonna, DBLENGTH lunghezza) {
    colonna.byte = lunghezza + (colonna.tipo == DBTYPE_WSTR ? sizeof(wchar_t) : 0);
    std::vector<std::byte> campo(kValore + colonna.byte);
    const Accessore accessore(rowset, {legame(colonna, 0)}, campo.size());
    const HRESULT esito = rowset->GetData(riga, accessore.handle(), campo.data());
    Campo c;
    std::memcpy(&c, campo.data(), sizeof c);
    if (FAILED(esito) && esito != DB_E_ERRORSOCCURRED) fallisci(esito, rowset, IID_IRowset);
    if (c.stato != DBSTATUS_S_OK) valoreNonDato(colonna, c.stato);
    return valore(colonna, campo.data());
}

}  // namespace

RecordsetRighe::Righe leggiRighe(IRowset* rowset) {
    const std::vector<Colonna> tutte = colonne(rowset);
    RecordsetRighe::Righe righe;
    for (const Colonna& c : tutte) righe.nomi.push_back(c.nome);
    if (tutte.empty()) return righe;

    std::vector<DBBINDING> legami;
    for (const Colonna& c : tutte) legami.push_back(legame(c, c.inizio));
    const DBLENGTH byteRiga = tutte.back().inizio + kValore + tutte.back().byte;
    const Accessore accessore(rowset, legami, byteRiga);
    std::vector<std::byte> buffer(byteRiga);

    for (bool fine = false; !fine;) {
        RigheOttenute ottenute{rowset, {}};
        HROW* handle = ottenute.handle;
        const HRESULT esito =
            rowset->GetNextRows(DB_NULL_HCHAPTER, 0, kRighePerVolta, &ottenute.numero, &handle);
        if (FAILED(esito)) fallisci(esito, rowset, IID_IRowset);
        fine = esito == DB_S_ENDOFROWSET || ottenute.numero == 0;
        for (DBCOUNTITEM r = 0; r < ottenute.numero; ++r) {
            const HRESULT letta = rowset->GetData(ottenute.handle[r], accessore.handle(), buffer.data());
            if (FAILED(letta) && letta != DB_E_ERRORSOCCURRED) fallisci(letta, rowset, IID_IRowset);
            for (const Colonna& c : tutte) {
                const std::byte* campo = buffer.data() + c.inizio;
                Campo stato;
                std::memcpy(&stato, campo, sizeof stato);
                if (stato.stato == DBSTATUS_S_ISNULL) {
                    righe.valori.emplace_back();
                } else if (stato.stato == DBSTATUS_S_OK) {
                    righe.valori.push_back(valore(c, campo));
                } else if (stato.stato == DBSTATUS_S_TRUNCATED) {
                    righe.valori.push_back(rileggi(rowset, ottenute.handle[r], c, stato.lunghezza));
                } else {
                    valoreNonDato(c, stato.stato);
                }
            }
        }
    }
    return righe;
}

}  // namespace tastalo::oledb
