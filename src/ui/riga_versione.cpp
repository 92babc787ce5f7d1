#include "ui/riga_versione.h"

#include "tastalo/version.h"

namespace tastalo {

QString rigaVersione(int maggiore, int minore, int revisione) {
    return QStringLiteral("Versione %1.%2.%3").arg(maggiore).arg(minore).arg(revisione);
}

QString rigaVersioneProgramma() { return rigaVersione(version::kMajor, version::kMinor, version::kPatch); }

}  // namespace tastalo
