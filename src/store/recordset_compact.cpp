#include "store/recordset_compact.h"

#include <utility>

namespace tastalo {

RecordsetCompact::RecordsetCompact(std::filesystem::path percorso, Lettura lettura)
    : m_percorso(std::move(percorso)), m_lettura(std::move(lettura)) {
    leggi();
}

void RecordsetCompact::leggi() {
    m_file = compact::leggiCoerente(m_percorso, [this](compact::FileCompact& file) {
        m_righe = {};
        m_lettura(file, m_righe);
    });
    m_corrente = 0;
}

void RecordsetCompact::primo() {
    m_corrente = 0;
    if (m_file && m_file->invariato()) return;
    // A failed reading leaves no rows of the earlier one behind.
    m_file.reset();
    m_righe = {};
    leggi();
}

void RecordsetCompact::chiudi() noexcept {
    m_file.reset();
    RecordsetRighe::chiudi();
}

}  // namespace tastalo
