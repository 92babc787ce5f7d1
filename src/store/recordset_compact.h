#pragma once

// Private to the store: a query result from a SQL Server Compact file, read
// by the program's own reader.

#include <QString>
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

}  // namespace tastalo
