#pragma once

// Private to the store: a query result gathered whole, then read row by row.

#include <QString>
#include <cstddef>
#include <vector>

#include "store/recordset_impl.h"

namespace tastalo {

// What the formats that hand over every row at once share (the Compact
// reader, an OLE DB provider): each fills the rows and reads them again for
// primo().
class RecordsetRighe : public Recordset::Impl {
public:
    struct Righe {
        std::vector<QString> nomi;
        // Row after row, nomi.size() values each.
        std::vector<Valore> valori;
        std::size_t numero() const { return nomi.empty() ? 0 : valori.size() / nomi.size(); }
    };

    bool aperto() const override { return m_aperto; }
    void chiudi() noexcept override;
    bool riga() const override { return m_aperto && m_corrente < m_righe.numero(); }
    void avanti() override { ++m_corrente; }
    const std::vector<QString>& nomi() const override { return m_righe.nomi; }
    Valore valore(int posizione) const override;

protected:
    Righe m_righe;
    std::size_t m_corrente = 0;

private:
    bool m_aperto = true;
};

}  // namespace tastalo
