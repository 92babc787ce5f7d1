#include "store/compact/riga_compact.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "store/compact/fallimento_compact.h"

namespace tastalo::compact {

RigaCompact::RigaCompact(PagineCompact& pagine, const Tabella& tabella, const Disposizione& disposizione)
    : m_pagine(&pagine), m_tabella(&tabella), m_disposizione(disposizione) {
    m_inizioBit = 4 + (disposizione.colonne + 7) / 8;
    m_inizioFissi = m_inizioBit + (disposizione.bit + 7) / 8;
    m_inizioOffset = m_inizioFissi + disposizione.fissi;
    m_inizioVariabili = m_inizioOffset + 2 * static_cast<std::size_t>(disposizione.variabili);
}

void RigaCompact::imposta(const std::uint8_t* dati, std::size_t lunghezza, std::uint32_t pagina,
                          std::uint32_t slot) {
    m_dati = dati;
    m_lunghezza = lunghezza;
    m_pagina = pagina;
    m_slot = slot;
    const auto dove = [&] {
        return "file danneggiato: tabella " + m_tabella->nome + ", pagina " + std::to_string(pagina) +
               ", slot " + std::to_string(slot) + ": ";
    };
    if (lunghezza < 4 || u32(dati) != m_disposizione.colonne) {
        throw fallimento(kFileDanneggiato,
                         dove() + "la riga ha " + (lunghezza < 4 ? "0" : std::to_string(u32(dati))) +
                             " colonne invece di " + std::to_string(m_disposizione.colonne));
    }
    if (lunghezza < m_inizioVariabili) {
        throw fallimento(kFileDanneggiato, dove() + "la riga di " + std::to_string(lunghezza) +
                                               " byte è più corta delle sue parti fisse (" +
                                               std::to_string(m_inizioVariabili) + " byte)");
    }
}

Fallimento RigaCompact::danneggiata(const Colonna& colonna, const std::string& dettaglio) const {
    return fallimento(kFileDanneggiato, "file danneggiato: tabella " + m_tabella->nome + ", colonna " +
                                            colonna.nome + ", pagina " + std::to_string(m_pagina) +
                                            ", slot " + std::to_string(m_slot) + ": " + dettaglio);
}

const Colonna& RigaCompact::propria(const Colonna& colonna) const {
    // The catalog checked the layout of this table's own columns; a column
    // described elsewhere (a copy, another table) is matched by name.
    const std::vector<Colonna>& colonne = m_tabella->colonne;
    if (colonna.posizione < colonne.size() && &colonne[colonna.posizione] == &colonna) return colonna;
    if (const Colonna* trovata = m_tabella->colonna(colonna.nome)) return *trovata;
    throw fallimento(kColonnaAssente, "la tabella " + m_tabella->nome + " non ha la colonna " + colonna.nome);
}

bool RigaCompact::bitNullo(const Colonna& colonna) const {
    return (m_dati[4 + colonna.posizione / 8] >> (colonna.posizione % 8)) & 1;
}

bool RigaCompact::nullo(const Colonna& colonna) const { return bitNullo(propria(colonna)); }

const std::uint8_t* RigaCompact::variabile(const Colonna& colonna, std::size_t& lunghezza,
                                           bool& unByte) const {
    const std::size_t indice = colonna.offsetOIndice;
    const std::size_t disponibili = m_lunghezza - m_inizioVariabili;
    const std::uint16_t offset = u16(m_dati + m_inizioOffset + 2 * indice);
    const std::size_t inizio = offset & 0x7FFF;
    const std::size_t fine = indice + 1 < m_disposizione.variabili
                                 ? (u16(m_dati + m_inizioOffset + 2 * (indice + 1)) & 0x7FFF)
                                 : disponibili;
    if (inizio > fine || fine > disponibili) {
        throw danneggiata(colonna, "il valore (byte " + std::to_string(inizio) + "-" + std::to_string(fine) +
                                       ") esce dai " + std::to_string(disponibili) +
                                       " byte variabili della riga");
    }
    lunghezza = fine - inizio;
    unByte = (offset & 0x8000) != 0;
    return m_dati + m_inizioVariabili + inizio;
}

namespace {

std::u16string testoUnByte(const std::uint8_t* byte, std::size_t quanti) {
    std::u16string testo(quanti, u'\0');
    for (std::size_t i = 0; i < quanti; ++i) testo[i] = byte[i];
    return testo;
}

void aggiungiUtf16(std::u16string& testo, const std::uint8_t* byte, std::size_t quanti) {
    const std::size_t prima = testo.size();
    testo.resize(prima + quanti / 2);
    for (std::size_t i = 0; i < quanti / 2; ++i) {
        testo[prima + i] = static_cast<char16_t>(byte[2 * i] | (byte[2 * i + 1] << 8));
    }
}

}  // namespace

ValoreCompact RigaCompact::valoreLungo(const Colonna& colonna) const {
    // ntext and image: u64 length, then the bytes themselves when they fit in
    // the row, otherwise the 20-bit logical ids of the long-value pages that
    // hold them, three to a u64.
    std::size_t quanti = 0;
    bool unByte = false;
    const std::uint8_t* byte = variabile(colonna, quanti, unByte);
    if (quanti < 8) throw danneggiata(colonna, "valore lungo di " + std::to_string(quanti) + " byte");
    const std::uint64_t lunghezza = u64(byte);
    const bool testo = colonna.tipo == kNtext;
    if (quanti - 8 == lunghezza) {
        if (!testo) return Binario(byte + 8, byte + quanti);
        if (unByte) return testoUnByte(byte + 8, quanti - 8);
        if (lunghezza % 2 != 0)
            throw danneggiata(colonna, "testo UTF-16 di " + std::to_string(lunghezza) + " byte");
        std::u16string risultato;
        aggiungiUtf16(risultato, byte + 8, quanti - 8);
        return risultato;
    }
    const std::uint64_t pagine = (lunghezza + kDatiValoreLungo - 1) / kDatiValoreLungo;
    if (pagine > m_pagine->pagineMappate() || quanti - 8 != 8 * ((pagine + 2) / 3) ||
        (testo && lunghezza % 2 != 0)) {
        throw danneggiata(colonna, "valore lungo di " + std::to_string(lunghezza) + " byte con " +
                                       std::to_string(quanti - 8) + " byte di riferimenti");
    }
    std::u16string risultatoTesto;
    Binario risultatoBinario;
    if (testo) {
        risultatoTesto.reserve(static_cast<std::size_t>(lunghezza / 2));
    } else {
        risultatoBinario.reserve(static_cast<std::size_t>(lunghezza));
    }
    std::uint64_t restano = lunghezza;
    for (std::uint64_t i = 0; i < pagine; ++i) {
        const auto id = static_cast<std::uint32_t>((u64(byte + 8 + 8 * (i / 3)) >> (20 * (i % 3))) & 0xFFFFF);
        const std::uint8_t* pagina = m_pagine->pagina(id, kTipoValoriLunghi);
        const auto parte = static_cast<std::size_t>(std::min<std::uint64_t>(restano, kDatiValoreLungo));
        const std::uint8_t* dati = pagina + kDimensioneTestata;
        if (testo) {
            aggiungiUtf16(risultatoTesto, dati, parte);
        } else {
            risultatoBinario.insert(risultatoBinario.end(), dati, dati + parte);
        }
        restano -= parte;
    }
    if (testo) return risultatoTesto;
    return risultatoBinario;
}

ValoreCompact RigaCompact::valore(const Colonna& richiesta) const {
    const Colonna& colonna = propria(richiesta);
    if (bitNullo(colonna)) return std::monostate{};
    // Only the fixed types read here, and the catalog checked that their
    // offset and size fit in the fixed area.
    const std::uint8_t* fisso =
        colonna.variabile || colonna.tipo == kBit ? nullptr : m_dati + m_inizioFissi + colonna.offsetOIndice;
    switch (colonna.tipo) {
        case kTinyint: return static_cast<std::int64_t>(fisso[0]);
        case kSmallint: return static_cast<std::int64_t>(static_cast<std::int16_t>(u16(fisso)));
        case kInt: return static_cast<std::int64_t>(static_cast<std::int32_t>(u32(fisso)));
        case kBigint: return static_cast<std::int64_t>(u64(fisso));
        case kBit: {
            const std::size_t bit = colonna.offsetOIndice;
            return static_cast<std::int64_t>((m_dati[m_inizioBit + bit / 8] >> (bit % 8)) & 1);
        }
        case kReal: return static_cast<double>(std::bit_cast<float>(u32(fisso)));
        case kFloat: return std::bit_cast<double>(u64(fisso));
        case kMoney: return Denaro{static_cast<std::int64_t>(u64(fisso))};
        case kDatetime: return DataOra{static_cast<std::int32_t>(u32(fisso + 4)), u32(fisso)};
        case kUniqueidentifier: {
            Guid guid;
            std::memcpy(guid.byte.data(), fisso, guid.byte.size());
            return guid;
        }
        case kNchar: {
            std::u16string testo;
            aggiungiUtf16(testo, fisso, colonna.lunghezzaMassima);
            return testo;
        }
        case kNvarchar: {
            std::size_t quanti = 0;
            bool unByte = false;
            const std::uint8_t* byte = variabile(colonna, quanti, unByte);
            if (unByte) return testoUnByte(byte, quanti);
            if (quanti % 2 != 0)
                throw danneggiata(colonna, "testo UTF-16 di " + std::to_string(quanti) + " byte");
            std::u16string testo;
            aggiungiUtf16(testo, byte, quanti);
            return testo;
        }
        case kVarbinary: {
            std::size_t quanti = 0;
            bool unByte = false;
            const std::uint8_t* byte = variabile(colonna, quanti, unByte);
            return Binario(byte, byte + quanti);
        }
        case kNtext:
        case kImage: return valoreLungo(colonna);
        default:
            throw fallimento(kTipoNonDecodificabile,
                             "tabella " + m_tabella->nome + ", colonna " + colonna.nome + ": tipo " +
                                 esadecimale(colonna.tipo, 2) + " che Tastalo non sa decodificare");
    }
}

}  // namespace tastalo::compact
