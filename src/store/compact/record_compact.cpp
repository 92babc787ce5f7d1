#include "store/compact/record_compact.h"

#include <algorithm>
#include <cstring>

#include "store/compact/fallimento_compact.h"

namespace tastalo::compact {

LettoreRecord::LettoreRecord(PagineCompact& pagine, std::uint32_t proprietario, std::string nome)
    : m_pagine(pagine),
      m_proprietario(proprietario),
      m_nome(std::move(nome)),
      m_idPagine(pagine.pagineHeap(proprietario)) {
    m_record.reserve(8192);
}

std::string LettoreRecord::dove(std::uint32_t id, std::uint32_t slot) const {
    return m_nome + ", pagina " + std::to_string(id) + ", slot " + std::to_string(slot);
}

void LettoreRecord::caricaPagina(std::uint32_t id) {
    std::memcpy(m_pagina.data(), m_pagine.paginaHeap(id, m_proprietario), kDimensionePagina);
    m_idPagina = id;
    m_slotTotali = u32(m_pagina.data() + kOffsetSlot) & 0xFFF;
    m_prossimoSlot = 0;
    if (m_slotTotali > kMaxSlot) {
        throw fallimento(kFileDanneggiato, "file danneggiato: " + m_nome + ", la pagina " +
                                               std::to_string(id) + " dichiara " +
                                               std::to_string(m_slotTotali) + " slot");
    }
}

LettoreRecord::Slot LettoreRecord::leggiSlot(const std::uint8_t* pagina, std::uint32_t id,
                                             std::uint32_t slot) const {
    const std::uint32_t totali = u32(pagina + kOffsetSlot) & 0xFFF;
    if (slot >= totali || totali > kMaxSlot) {
        throw fallimento(kFileDanneggiato, "file danneggiato: " + dove(id, slot) + ": la pagina ha " +
                                               std::to_string(totali) + " slot");
    }
    const std::uint32_t voce = u32(pagina + kDimensionePagina - 4 - 4 * slot);
    Slot risultato;
    risultato.stato = static_cast<std::uint8_t>(voce >> 24);
    if (risultato.stato == kSlotVuoto) return risultato;
    if (risultato.stato != kSlotTesta && risultato.stato != kSlotContinuazione) {
        throw fallimento(kFileDanneggiato, "file danneggiato: " + dove(id, slot) + ": stato dello slot " +
                                               esadecimale(risultato.stato, 2) + " sconosciuto");
    }
    const std::size_t offset = voce & 0xFFF;
    const std::size_t lunghezza = (voce >> 12) & 0xFFF;
    const std::size_t fineRecord = kDimensionePagina - 4 * static_cast<std::size_t>(totali);
    if (lunghezza < 4 || kInizioRecord + offset + lunghezza > fineRecord) {
        throw fallimento(kFileDanneggiato, "file danneggiato: " + dove(id, slot) + ": il record (offset " +
                                               std::to_string(offset) + ", " + std::to_string(lunghezza) +
                                               " byte) esce dalla pagina");
    }
    const std::uint8_t* inizio = pagina + kInizioRecord + offset;
    risultato.successivo = u32(inizio);
    risultato.dati = inizio + 4;
    risultato.lunghezza = lunghezza - 4;
    return risultato;
}

bool LettoreRecord::prossimo() {
    for (;;) {
        while (m_prossimoSlot >= m_slotTotali) {
            if (m_prossimaPagina >= m_idPagine.size()) return false;
            caricaPagina(m_idPagine[m_prossimaPagina++]);
        }
        const std::uint32_t slot = m_prossimoSlot++;
        const Slot letto = leggiSlot(m_pagina.data(), m_idPagina, slot);
        // Empty slots are deleted rows; continuations are read with their head.
        if (letto.stato != kSlotTesta) continue;
        m_slotRecord = slot;
        m_record.assign(letto.dati, letto.dati + letto.lunghezza);
        if (letto.successivo != 0) aggiungiFrammenti(letto.successivo);
        return true;
    }
}

void LettoreRecord::aggiungiFrammenti(std::uint32_t successivo) {
    // Each fragment is visited once: a chain that comes back on itself, runs
    // past kMaxFrammenti or grows past kMaxRecord is damaged.
    std::array<std::uint32_t, kMaxFrammenti> visti{};
    std::size_t quanti = 0;
    visti[quanti++] = (m_idPagina << 12) | m_slotRecord;
    while (successivo != 0) {
        if (std::find(visti.begin(), visti.begin() + static_cast<std::ptrdiff_t>(quanti), successivo) !=
            visti.begin() + static_cast<std::ptrdiff_t>(quanti)) {
            throw fallimento(kFileDanneggiato, "file danneggiato: " + dove(m_idPagina, m_slotRecord) +
                                                   ": i frammenti della riga formano un ciclo (pagina " +
                                                   std::to_string(successivo >> 12) + ", slot " +
                                                   std::to_string(successivo & 0xFFF) + ")");
        }
        if (quanti == kMaxFrammenti) {
            throw fallimento(kFileDanneggiato, "file danneggiato: " + dove(m_idPagina, m_slotRecord) +
                                                   ": la riga ha più di " + std::to_string(kMaxFrammenti) +
                                                   " frammenti");
        }
        visti[quanti++] = successivo;
        const std::uint32_t id = successivo >> 12;
        const std::uint32_t slot = successivo & 0xFFF;
        const Slot letto = leggiSlot(m_pagine.paginaHeap(id, m_proprietario), id, slot);
        if (letto.stato != kSlotContinuazione || letto.lunghezza == 0) {
            throw fallimento(kFileDanneggiato, "file danneggiato: " + dove(m_idPagina, m_slotRecord) +
                                                   ": il frammento successivo (pagina " + std::to_string(id) +
                                                   ", slot " + std::to_string(slot) +
                                                   ") non è una continuazione");
        }
        if (m_record.size() + letto.lunghezza > kMaxRecord) {
            throw fallimento(kFileDanneggiato, "file danneggiato: " + dove(m_idPagina, m_slotRecord) +
                                                   ": la riga supera " + std::to_string(kMaxRecord) +
                                                   " byte");
        }
        m_record.insert(m_record.end(), letto.dati, letto.dati + letto.lunghezza);
        successivo = letto.successivo;
    }
}

}  // namespace tastalo::compact
