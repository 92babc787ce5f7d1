#include "store/recordset_righe.h"

namespace tastalo {

void RecordsetRighe::chiudi() noexcept {
    m_aperto = false;
    m_righe = {};
    m_corrente = 0;
}

Valore RecordsetRighe::valore(int posizione) const {
    return m_righe.valori[m_corrente * m_righe.nomi.size() + static_cast<std::size_t>(posizione)];
}

}  // namespace tastalo
