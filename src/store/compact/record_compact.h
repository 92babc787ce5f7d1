#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/compact/pagine_compact.h"

// The records of one object's heap, in the engine's own order: its pages by
// logical id, then their slots. A record split over several pages is put
// back together from its fragments, within firm bounds.
namespace tastalo::compact {

// Rows are far smaller (the engine stops at about 8 KB); the bounds only
// keep a damaged chain from running on.
inline constexpr std::size_t kMaxRecord = std::size_t{1} << 17;
inline constexpr std::size_t kMaxFrammenti = 64;

class LettoreRecord {
public:
    // `nome` names the object in the messages ("tabella Orders").
    LettoreRecord(PagineCompact& pagine, std::uint32_t proprietario, std::string nome);

    // Moves to the next record; false after the last one.
    bool prossimo();

    const std::uint8_t* dati() const { return m_record.data(); }
    std::size_t lunghezza() const { return m_record.size(); }
    // Where the record begins, for the messages.
    std::uint32_t pagina() const { return m_idPagina; }
    std::uint32_t slot() const { return m_slotRecord; }
    const std::string& nome() const { return m_nome; }

private:
    struct Slot {
        std::uint8_t stato = 0;
        const std::uint8_t* dati = nullptr;  // after the pointer to the next fragment
        std::size_t lunghezza = 0;
        std::uint32_t successivo = 0;
    };
    Slot leggiSlot(const std::uint8_t* pagina, std::uint32_t id, std::uint32_t slot) const;
    void caricaPagina(std::uint32_t id);
    void aggiungiFrammenti(std::uint32_t successivo);
    std::string dove(std::uint32_t id, std::uint32_t slot) const;

    PagineCompact& m_pagine;
    std::uint32_t m_proprietario;
    std::string m_nome;
    std::vector<std::uint32_t> m_idPagine;
    std::size_t m_prossimaPagina = 0;
    std::array<std::uint8_t, kDimensionePagina> m_pagina{};
    std::uint32_t m_idPagina = 0;
    std::uint32_t m_slotTotali = 0;
    std::uint32_t m_prossimoSlot = 0;
    std::uint32_t m_slotRecord = 0;
    std::vector<std::uint8_t> m_record;
};

}  // namespace tastalo::compact
