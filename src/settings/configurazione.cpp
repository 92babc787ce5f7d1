#include "settings/configurazione.h"

namespace tastalo {

QString costruisciStringaConnessione(const QString& percorsoDatabase) {
    return QStringLiteral("Provider=Microsoft.SQLSERVER.CE.OLEDB.3.5;Data Source=") + percorsoDatabase +
           QLatin1Char(';');
}

}  // namespace tastalo
