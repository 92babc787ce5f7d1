#pragma once

// Private to the store: a query result from a SQL Server Compact file, read
// by the program's own reader.

#include <filesystem>
#include <functional>
#include <memory>

#include "store/compact/file_compact.h"
#include "store/recordset_righe.h"

namespace tastalo {

// A result gathered whole from one state of the file (the reader reads again
// when the file is written meanwhile), then read row by row.
class RecordsetCompact final : public RecordsetRighe {
public:
    // Fills `righe` (handed over empty) from the open file.
    using Lettura = std::function<void(compact::FileCompact& file, Righe& righe)>;

    RecordsetCompact(std::filesystem::path percorso, Lettura lettura);

    void chiudi() noexcept override;
    void primo() override;

private:
    void leggi();

    std::filesystem::path m_percorso;
    Lettura m_lettura;
    // Kept open while the result is, so that going back to the first row
    // reads again only when the file was written meanwhile.
    std::unique_ptr<compact::FileCompact> m_file;
};

}  // namespace tastalo
