#pragma once

#include <QString>
#include <cstdint>

namespace tastalo {

// The connection string for a database path: the provider text, the path as
// it stands, and ";".
QString costruisciStringaConnessione(const QString& percorsoDatabase);

// The process-wide settings. One instance lives for the whole process and is
// handed by reference to whoever reads it at the moment of use.
struct Configurazione {
    QString PercorsoDatabase;
    QString TitoloFinestra;
    std::int32_t Ritardo = 0;

    // Built from the path at every read, so that the two never disagree.
    QString StringaConnessione() const { return costruisciStringaConnessione(PercorsoDatabase); }
};

}  // namespace tastalo
