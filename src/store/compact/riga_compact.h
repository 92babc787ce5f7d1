#pragma once

#include <cstdint>
#include <string>

#include "core/fallimento.h"
#include "store/compact/catalogo_compact.h"
#include "store/compact/file_compact.h"
#include "store/compact/pagine_compact.h"

// One row of a table, decoded column by column on request: only the columns
// asked for are read, and long values are fetched from their pages then.
namespace tastalo::compact {

class RigaCompact final : public Riga {
public:
    RigaCompact(PagineCompact& pagine, const Tabella& tabella, const Disposizione& disposizione);

    // Points at the record of the row beginning at `pagina`, `slot` and checks
    // that its column count and fixed parts fit in it.
    void imposta(const std::uint8_t* dati, std::size_t lunghezza, std::uint32_t pagina, std::uint32_t slot);

    bool nullo(const Colonna& colonna) const override;
    ValoreCompact valore(const Colonna& colonna) const override;

private:
    const Colonna& propria(const Colonna& colonna) const;
    bool bitNullo(const Colonna& colonna) const;
    // The bytes of a variable column; `unByte` when stored one byte per character.
    const std::uint8_t* variabile(const Colonna& colonna, std::size_t& lunghezza, bool& unByte) const;
    ValoreCompact valoreLungo(const Colonna& colonna) const;
    Fallimento danneggiata(const Colonna& colonna, const std::string& dettaglio) const;

    PagineCompact* m_pagine;
    const Tabella* m_tabella;
    Disposizione m_disposizione;
    const std::uint8_t* m_dati = nullptr;
    std::size_t m_lunghezza = 0;
    std::uint32_t m_pagina = 0;
    std::uint32_t m_slot = 0;
    std::size_t m_inizioBit = 0;
    std::size_t m_inizioFissi = 0;
    std::size_t m_inizioOffset = 0;
    std::size_t m_inizioVariabili = 0;
};

}  // namespace tastalo::compact
