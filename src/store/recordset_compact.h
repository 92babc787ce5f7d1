#pragma once

// Private to the store: the list queries answered from a SQL Server Compact
// file by the program's own reader.

#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "store/compact/file_compact.h"
#include "store/recordset_impl.h"

namespace tastalo {

// A result gathered whole from one state of the file (the reader reads again
// when the file is written meanwhile), then read row by row.
class RecordsetCompact final : public Recordset::Impl {
public:
    struct Righe {
        std::vector<QString> nomi;
        // Row after row, nomi.size() values each.
        std::vector<Valore> valori;
        std::size_t numero() const { return nomi.empty() ? 0 : valori.size() / nomi.size(); }
    };
    // Fills `righe` (handed over empty) from the open file.
    using Lettura = std::function<void(compact::FileCompact& file, Righe& righe)>;

    RecordsetCompact(std::filesystem::path percorso, Lettura lettura);

    bool aperto() const override { return m_aperto; }
    void chiudi() noexcept override;
    bool riga() const override { return m_aperto && m_corrente < m_righe.numero(); }
    void avanti() override { ++m_corrente; }
    void primo() override;
    const std::vector<QString>& nomi() const override { return m_righe.nomi; }
    Valore valore(int posizione) const override;

private:
    void leggi();

    std::filesystem::path m_percorso;
    Lettura m_lettura;
    // Kept open while the result is, so that going back to the first row
    // reads again only when the file was written meanwhile.
    std::unique_ptr<compact::FileCompact> m_file;
    Righe m_righe;
    std::size_t m_corrente = 0;
    bool m_aperto = true;
};

namespace compact_liste {
// The list query: every column of liste, its rows ordered by lista compared
// without regard to case, accents ordered as in a dictionary (nulls first,
// ties in the table's order).
RecordsetCompact::Lettura liste();
// The barcode query: Barcode of the rows of movimenti whose idLista equals
// the id, in the table's order.
RecordsetCompact::Lettura barcode(std::int32_t idLista);
// A value as the rest of the program reads it.
Valore valore(const compact::ValoreCompact& valore);
}  // namespace compact_liste

}  // namespace tastalo
