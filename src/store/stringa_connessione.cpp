#include "store/stringa_connessione.h"

namespace tastalo {

QString percorsoDaStringaConnessione(const QString& stringaConnessione) {
    static const QString kChiave = QStringLiteral("Data Source=");
    const qsizetype chiave = stringaConnessione.indexOf(kChiave, 0, Qt::CaseInsensitive);
    if (chiave < 0) return {};
    const qsizetype inizio = chiave + kChiave.size();
    // Up to the final ";", so a path that holds a ";" stays whole.
    qsizetype fine = stringaConnessione.lastIndexOf(u';');
    if (fine < inizio) fine = stringaConnessione.size();
    return stringaConnessione.mid(inizio, fine - inizio);
}

}  // namespace tastalo
