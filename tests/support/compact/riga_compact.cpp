#include "support/compact/riga_compact.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <variant>

namespace tastalo::prova::compact::dettaglio {

namespace compact = tastalo::compact;

namespace {

// Bytes of a fixed column; 0 for variable and bit columns.
std::size_t dimensioneFissa(std::uint16_t t) {
    switch (t) {
        case tipo::kTinyint: return 1;
        case tipo::kSmallint: return 2;
        case tipo::kInt:
        case tipo::kReal: return 4;
        case tipo::kBigint:
        case tipo::kDatetime:
        case tipo::kFloat:
        case tipo::kMoney: return 8;
        case tipo::kUniqueidentifier: return 16;
        default: return 0;
    }
}

bool conosciuto(std::uint16_t t) { return dimensioneFissa(t) > 0 || t == tipo::kBit || variabile(t); }

[[noreturn]] void nonAdatto(const TabellaScritta& tabella, const ColonnaScritta& colonna, std::size_t indice,
                            const std::string& motivo) {
    throw std::invalid_argument("tabella " + tabella.nome + ", colonna " + colonna.nome + ", riga " +
                                std::to_string(indice) + ": " + motivo);
}

std::int64_t intero(const ValoreScritto& v, std::int64_t minimo, std::int64_t massimo, const char*& motivo) {
    const auto* n = std::get_if<std::int64_t>(&v);
    if (!n) {
        motivo = "serve un intero";
        return 0;
    }
    if (*n < minimo || *n > massimo) motivo = "intero fuori dall'intervallo del tipo";
    return *n;
}

template <typename T>
const T* di(const ValoreScritto& v, const char*& motivo, const char* atteso) {
    const T* p = std::get_if<T>(&v);
    if (!p) motivo = atteso;
    return p;
}

// Writes a fixed column's value at `p`; the reason on a mismatch.
const char* scriviFisso(std::uint16_t t, const ValoreScritto& v, std::uint8_t* p) {
    const char* motivo = nullptr;
    switch (t) {
        case tipo::kTinyint: *p = static_cast<std::uint8_t>(intero(v, 0, 255, motivo)); break;
        case tipo::kSmallint: metti16(p, static_cast<std::uint16_t>(intero(v, -32768, 32767, motivo))); break;
        case tipo::kInt:
            metti32(p, static_cast<std::uint32_t>(intero(v, std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max(), motivo)));
            break;
        case tipo::kBigint:
            metti64(p, static_cast<std::uint64_t>(intero(v, std::numeric_limits<std::int64_t>::min(),
                                                         std::numeric_limits<std::int64_t>::max(), motivo)));
            break;
        case tipo::kReal:
            if (const double* d = di<double>(v, motivo, "serve un double")) {
                const float f = static_cast<float>(*d);
                std::uint32_t bit = 0;
                static_assert(sizeof f == sizeof bit);
                std::memcpy(&bit, &f, sizeof bit);
                metti32(p, bit);
            }
            break;
        case tipo::kFloat:
            if (const double* d = di<double>(v, motivo, "serve un double")) {
                std::uint64_t bit = 0;
                std::memcpy(&bit, d, sizeof bit);
                metti64(p, bit);
            }
            break;
        case tipo::kMoney:
            if (const auto* m = di<compact::Denaro>(v, motivo, "serve un Denaro")) {
                metti64(p, static_cast<std::uint64_t>(m->decimillesimi));
            }
            break;
        case tipo::kDatetime:
            if (const auto* d = di<compact::DataOra>(v, motivo, "serve una DataOra")) {
                if (d->tick >= 300u * 86'400u) return "più tick di un giorno";
                metti32(p, d->tick);
                metti32(p + 4, static_cast<std::uint32_t>(d->giorni));
            }
            break;
        case tipo::kUniqueidentifier:
            if (const auto* g = di<compact::Guid>(v, motivo, "serve un Guid")) {
                std::memcpy(p, g->byte.data(), g->byte.size());
            }
            break;
    }
    return motivo;
}

void appendiUtf16(Byte& b, const std::u16string& testo) {
    for (const char16_t c : testo) aggiungi16(b, c);
}

// A variable column's bytes; the reason on a mismatch.
const char* codificaVariabile(std::uint32_t massimo, std::uint16_t t, const ValoreScritto& v,
                              Variabile& out) {
    const char* motivo = nullptr;
    if (t == tipo::kVarbinary) {
        const auto* b = di<compact::Binario>(v, motivo, "serve un Binario");
        if (!b) return motivo;
        if (b->size() > massimo) return "più byte della lunghezza massima";
        out.dati = *b;
        return nullptr;
    }
    const auto* s = di<std::u16string>(v, motivo, "serve un testo");
    if (!s) return motivo;
    if (t == tipo::kNtext) {
        // Kept inside the row: its byte length, a zero, the UTF-16 text.
        if (s->size() * 2 > kNtextInlineMassimo) return "ntext troppo lungo per stare nella riga";
        aggiungi32(out.dati, static_cast<std::uint32_t>(s->size() * 2));
        aggiungi32(out.dati, 0);
        appendiUtf16(out.dati, *s);
        return nullptr;
    }
    if (s->size() * 2 > massimo) return "più caratteri della lunghezza massima";
    out.unByte = true;
    for (const char16_t c : *s) out.unByte = out.unByte && c <= 0xFF;
    if (out.unByte) {
        out.dati.assign(s->begin(), s->end());
    } else {
        appendiUtf16(out.dati, *s);
    }
    return nullptr;
}

}  // namespace

bool variabile(std::uint16_t t) { return t == tipo::kNvarchar || t == tipo::kNtext || t == tipo::kVarbinary; }

std::uint32_t lunghezzaMassima(const ColonnaScritta& colonna) {
    if (colonna.lunghezzaMassima != 0) return colonna.lunghezzaMassima;
    if (colonna.tipo == tipo::kBit) return 2;
    if (colonna.tipo == tipo::kNvarchar) return 200;
    if (variabile(colonna.tipo)) return 8000;
    return static_cast<std::uint32_t>(dimensioneFissa(colonna.tipo));
}

Byte componiRecord(std::uint32_t colonne, const Byte& nulli, const Byte& bit, const Byte& fissi,
                   const std::vector<std::optional<Variabile>>& variabili) {
    Byte r;
    // Reserved whole: GCC 12 at -O2 takes the growth from 4 bytes for an
    // out-of-bounds copy (a false -Warray-bounds).
    r.reserve(4 + nulli.size() + bit.size() + fissi.size() + 2 * variabili.size());
    aggiungi32(r, colonne);
    r.insert(r.end(), nulli.begin(), nulli.end());
    r.insert(r.end(), bit.begin(), bit.end());
    r.insert(r.end(), fissi.begin(), fissi.end());
    // Each start counts from the beginning of the variable data; a null
    // column starts where the next one does, without the one-byte mark.
    Byte dati;
    for (const auto& v : variabili) {
        const auto inizio = static_cast<std::uint16_t>(dati.size());
        aggiungi16(r, static_cast<std::uint16_t>(inizio | (v && v->unByte ? 0x8000 : 0)));
        if (v) dati.insert(dati.end(), v->dati.begin(), v->dati.end());
    }
    r.insert(r.end(), dati.begin(), dati.end());
    return r;
}

Disposizione disponi(const TabellaScritta& tabella) {
    Disposizione d;
    for (const ColonnaScritta& c : tabella.colonne) {
        if (!conosciuto(c.tipo)) {
            throw std::invalid_argument("tabella " + tabella.nome + ", colonna " + c.nome + ": tipo " +
                                        std::to_string(c.tipo) + " sconosciuto");
        }
        if (variabile(c.tipo)) {
            d.posto.push_back(static_cast<std::uint16_t>(d.variabili++));
        } else if (c.tipo == tipo::kBit) {
            d.posto.push_back(static_cast<std::uint16_t>(d.bit++));
        } else {
            d.posto.push_back(static_cast<std::uint16_t>(d.byteFissi));
            d.byteFissi += dimensioneFissa(c.tipo);
        }
    }
    return d;
}

Byte codificaRiga(const TabellaScritta& tabella, const Disposizione& disposizione, std::size_t indice) {
    const RigaScritta& riga = tabella.righe[indice];
    const std::size_t n = tabella.colonne.size();
    if (riga.size() != n) {
        throw std::invalid_argument("tabella " + tabella.nome + ", riga " + std::to_string(indice) + ": " +
                                    std::to_string(riga.size()) + " valori per " + std::to_string(n) +
                                    " colonne");
    }
    // The bitmap's bits past the last column are set, as the engine leaves them.
    Byte nulli((n + 7) / 8, 0);
    for (std::size_t i = n; i < nulli.size() * 8; ++i)
        nulli[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
    Byte bit((disposizione.bit + 7) / 8, 0);
    Byte fissi(disposizione.byteFissi, 0);
    std::vector<std::optional<Variabile>> variabili(disposizione.variabili);

    for (std::size_t i = 0; i < n; ++i) {
        const ColonnaScritta& c = tabella.colonne[i];
        const ValoreScritto& v = riga[i];
        const std::uint16_t posto = disposizione.posto[i];
        if (std::holds_alternative<std::monostate>(v)) {
            if (!c.nullabile) nonAdatto(tabella, c, indice, "null in una colonna non nullabile");
            nulli[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
            continue;
        }
        const char* motivo = nullptr;
        if (c.tipo == tipo::kBit) {
            if (intero(v, 0, 1, motivo) == 1) bit[posto / 8] |= static_cast<std::uint8_t>(1u << (posto % 8));
        } else if (variabile(c.tipo)) {
            Variabile var;
            motivo = codificaVariabile(lunghezzaMassima(c), c.tipo, v, var);
            variabili[posto] = std::move(var);
        } else {
            motivo = scriviFisso(c.tipo, v, fissi.data() + posto);
        }
        if (motivo) nonAdatto(tabella, c, indice, motivo);
    }
    return componiRecord(static_cast<std::uint32_t>(n), nulli, bit, fissi, variabili);
}

}  // namespace tastalo::prova::compact::dettaglio
