#include "support/compact/heap_compact.h"

#include <algorithm>

namespace tastalo::prova::compact::dettaglio {

namespace {

constexpr std::uint32_t kTipoHeap = 4;
constexpr std::uint32_t kTipoOggetto = 3;
constexpr std::size_t kInizioDati = 0x18;
constexpr std::size_t kSlot = 4;
constexpr std::size_t kPuntatore = 4;
constexpr std::uint8_t kTesta = 2;
constexpr std::uint8_t kSeguito = 0;

class Impaginatore {
public:
    Impaginatore(std::uint16_t proprietario, std::uint32_t primoId)
        : m_proprietario(proprietario), m_prossimoId(primoId) {}

    void aggiungi(const Byte& record, bool dividi) {
        if (m_pagine.empty()) nuovaPagina();
        std::size_t fatto = 0;
        bool testa = true;
        while (true) {
            const std::size_t spazio = spazioDati();
            const std::size_t resto = record.size() - fatto;
            if (resto <= spazio) {
                frammento(record.data() + fatto, resto, 0, testa);
                return;
            }
            if (!dividi || spazio == 0) {
                // A record whole or not at all: an empty page that cannot
                // hold it never will.
                if (!dividi && m_slot == 0) return;
                nuovaPagina();
                continue;
            }
            // The continuation goes to slot 0 of the page made next.
            frammento(record.data() + fatto, spazio, m_prossimoId << 12, testa);
            fatto += spazio;
            testa = false;
            nuovaPagina();
        }
    }

    std::vector<PaginaLogica> fine() {
        if (!m_pagine.empty()) chiudi();
        return std::move(m_pagine);
    }

private:
    // Data bytes a new fragment can take on this page, after its pointer and
    // its slot.
    std::size_t spazioDati() const {
        const std::size_t occupati = kInizioDati + m_usati + kSlot * (m_slot + 1) + kPuntatore;
        return occupati < kPagina ? kPagina - occupati : 0;
    }

    void nuovaPagina() {
        if (!m_pagine.empty()) chiudi();
        PaginaLogica p{m_prossimoId++, Byte(kPagina, 0)};
        intestaPagina(p.byte.data(), kTipoHeap, p.idLogico, 0);
        metti16(p.byte.data() + 0x10, m_proprietario);
        m_pagine.push_back(std::move(p));
        m_usati = 0;
        m_slot = 0;
    }

    void frammento(const std::uint8_t* dati, std::size_t n, std::uint32_t prossimo, bool testa) {
        std::uint8_t* pagina = m_pagine.back().byte.data();
        metti32(pagina + kInizioDati + m_usati, prossimo);
        std::copy(dati, dati + n, pagina + kInizioDati + m_usati + kPuntatore);
        const auto lunghezza = static_cast<std::uint32_t>(n + kPuntatore);
        metti32(pagina + kPagina - kSlot * (m_slot + 1),
                static_cast<std::uint32_t>(m_usati) | lunghezza << 12 |
                    static_cast<std::uint32_t>(testa ? kTesta : kSeguito) << 24);
        m_usati += lunghezza;
        ++m_slot;
    }

    // Slot count in the low 12 bits, the end of the used data above them.
    void chiudi() {
        metti32(m_pagine.back().byte.data() + 0x14,
                static_cast<std::uint32_t>(m_slot) | static_cast<std::uint32_t>(m_usati) << 12);
    }

    std::uint16_t m_proprietario;
    std::uint32_t m_prossimoId;
    std::vector<PaginaLogica> m_pagine;
    std::size_t m_usati = 0;
    std::size_t m_slot = 0;
};

}  // namespace

std::vector<PaginaLogica> disponiHeap(const std::vector<Byte>& record, std::uint16_t proprietario,
                                      std::uint32_t primoId, bool dividi) {
    Impaginatore impaginatore(proprietario, primoId);
    for (const Byte& r : record) impaginatore.aggiungi(r, dividi);
    return impaginatore.fine();
}

PaginaLogica paginaOggetto(std::uint32_t idOggetto, const std::vector<std::uint32_t>& pagine) {
    PaginaLogica p{idOggetto, Byte(kPagina, 0)};
    intestaPagina(p.byte.data(), kTipoOggetto, idOggetto, 0);
    const std::size_t quante = std::min(pagine.size(), (kPagina - 24) / 8 * 3);
    metti32(p.byte.data() + 16, static_cast<std::uint32_t>(quante));
    for (std::size_t i = 0; i < quante; ++i) {
        std::uint8_t* gruppo = p.byte.data() + 24 + i / 3 * 8;
        std::uint64_t v = 0;
        for (int b = 7; b >= 0; --b) v = v << 8 | gruppo[b];
        v |= static_cast<std::uint64_t>(pagine[i] & 0xFFFFF) << (20 * (i % 3));
        metti64(gruppo, v);
    }
    return p;
}

}  // namespace tastalo::prova::compact::dettaglio
