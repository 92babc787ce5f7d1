#include "startup/impostazioni_dialogo.h"

#include <QDir>
#include <QFileInfo>

#include "startup/configurazione.h"
#include "startup/ini_programma.h"
#include "startup/istantanea_file.h"
#include "startup/ritardo.h"

namespace tastalo {

ImpostazioniDialogo::ImpostazioniDialogo(const IniProgramma& ini, Configurazione& configurazione)
    : m_ini(ini), m_configurazione(configurazione) {}

LetturaImpostazioni ImpostazioniDialogo::leggi() const {
    LetturaImpostazioni lettura;
    auto& testi = lettura.testi;
    try {
        testi.database = m_ini.LeggiIni(kSezioneDati, kChiaveDataBase, kFileImpostazioni);
        testi.finestra = m_ini.LeggiIni(kSezioneDati, kChiaveFinestraPGM, kFileImpostazioni);
        testi.delay = m_ini.LeggiIni(kSezioneDati, kChiaveDelay, kFileImpostazioni);
    } catch (const Failure& errore) {
        lettura.errore = errore;
    }
    if (testi.database.isEmpty()) {
        testi.database = percorsoDatabasePredefinito(m_ini.cartellaProgramma());
    }
    return lettura;
}

std::optional<QString> ImpostazioniDialogo::databaseScelto(const std::optional<QString>& nome) {
    if (!nome || nome->isEmpty() || !QFileInfo(*nome).isFile()) return std::nullopt;
    return QDir::toNativeSeparators(*nome);
}

void ImpostazioniDialogo::salva(const TestiImpostazioni& testi) {
    const std::optional<std::int32_t> ritardo = ritardoInteroDaTesto(testi.delay);
    if (!ritardo) {
        throw Failure(FailureSource::Conversion, conversion::kTypeMismatch,
                      kMessaggioRitardoNonValido.toStdString());
    }
    scriviTutte(testi);
    // The file is on disk before the settings in memory change.
    m_configurazione.impostaPercorsoDatabase(testi.database);
    m_configurazione.impostaTitoloFinestra(testi.finestra);
    m_configurazione.impostaRitardo(*ritardo);
}

void ImpostazioniDialogo::scriviTutte(const TestiImpostazioni& testi) const {
    // Each write replaces the file on its own; if a later one fails, the
    // earlier ones are undone so that the three keys land together or not at all.
    const IstantaneaFile prima = IstantaneaFile::scatta(m_ini.percorsoFile(kFileImpostazioni));
    try {
        m_ini.ScriviIni(kSezioneDati, kChiaveDataBase, testi.database, kFileImpostazioni);
        m_ini.ScriviIni(kSezioneDati, kChiaveFinestraPGM, testi.finestra, kFileImpostazioni);
        m_ini.ScriviIni(kSezioneDati, kChiaveDelay, testi.delay, kFileImpostazioni);
    } catch (const Failure& errore) {
        if (prima.invariato()) throw;
        try {
            prima.ripristina();
        } catch (const Failure& ripristino) {
            throw Failure(FailureSource::SettingsFile, errore.code(),
                          errore.description() + "\n" + ripristino.description());
        }
        throw;
    }
}

QString ImpostazioniDialogo::messaggioLettura(const Failure& errore) {
    // The description already names the file and the system's reason.
    return QString::fromStdString(errore.description());
}

QString ImpostazioniDialogo::messaggioSalvataggio(const Failure& errore) {
    const QString descrizione = QString::fromStdString(errore.description());
    if (errore.source() == FailureSource::Conversion) return descrizione;
    return descrizione + QStringLiteral("\nLe impostazioni non sono state salvate.");
}

}  // namespace tastalo
