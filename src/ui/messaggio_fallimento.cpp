#include "ui/messaggio_fallimento.h"

namespace tastalo {

QString codiceTrattinoDescrizione(const Failure& fallimento) {
    return QString::number(fallimento.code()) + QStringLiteral(" - ") +
           QString::fromStdString(fallimento.description());
}

}  // namespace tastalo
