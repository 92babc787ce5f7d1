#pragma once

#include <QString>
#include <cstdint>

namespace tastalo {

// The connection string for a database path: the provider text, the path as
// it stands, and ";".
QString costruisciStringaConnessione(const QString& percorsoDatabase);

// The process-wide settings. One instance lives for the whole process and is
// handed by reference to whoever reads it at the moment of use.
class Configurazione {
public:
    const QString& PercorsoDatabase() const { return m_percorsoDatabase; }
    const QString& TitoloFinestra() const { return m_titoloFinestra; }
    std::int32_t Ritardo() const { return m_ritardo; }
    const QString& StringaConnessione() const { return m_stringaConnessione; }

    // The only way to change the database path; it rebuilds the connection
    // string in the same step, so the two never disagree.
    void impostaPercorsoDatabase(const QString& percorso);
    void impostaTitoloFinestra(const QString& titolo) { m_titoloFinestra = titolo; }
    void impostaRitardo(std::int32_t millisecondi) { m_ritardo = millisecondi; }

private:
    QString m_percorsoDatabase;
    QString m_titoloFinestra;
    std::int32_t m_ritardo = 0;
    QString m_stringaConnessione = costruisciStringaConnessione({});
};

}  // namespace tastalo
