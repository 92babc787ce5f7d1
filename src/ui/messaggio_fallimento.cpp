#include "ui/messaggio_fallimento.h"

namespace tastalo {

QString codiceTrattinoDescrizione(const Fallimento& fallimento) {
    return QString::number(fallimento.codice()) + QStringLiteral(" - ") +
           QString::fromStdString(fallimento.descrizione());
}

}  // namespace tastalo
