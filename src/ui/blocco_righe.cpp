#include "ui/blocco_righe.h"

namespace tastalo {

void BloccoRighe::aggiungiCella(QStringView testo) {
    m_testo.append(testo);
    m_fine.push_back(m_testo.size());
}

void BloccoRighe::aggiungiNota(QStringView nota) {
    m_note.push_back(m_fine.size());
    aggiungiCella(nota);
}

}  // namespace tastalo
