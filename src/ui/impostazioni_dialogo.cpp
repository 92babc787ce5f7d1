#include "ui/impostazioni_dialogo.h"

#include <QDir>
#include <QFileInfo>

#include "core/avvisi.h"
#include "settings/configurazione.h"
#include "settings/ini_programma.h"
#include "settings/ritardo.h"
#include "settings/senza_blank.h"

namespace tastalo {

ImpostazioniDialogo::ImpostazioniDialogo(const IniProgramma& ini, Configurazione& configurazione)
    : m_ini(ini), m_configurazione(configurazione) {}

LetturaImpostazioni ImpostazioniDialogo::leggi() const {
    // The boxes show the file as it is now, so that an edit made there by
    // hand or by another copy of the program is seen, not undone by "Salva".
    // A key that is empty, or a Delay that is not one, shows the value in
    // use instead; so does every key of a file that cannot be read.
    LetturaImpostazioni lettura;
    auto& testi = lettura.testi;
    testi.database = m_configurazione.PercorsoDatabase;
    testi.finestra = m_configurazione.TitoloFinestra;
    testi.delay = QString::number(m_configurazione.Ritardo);
    try {
        const QString database = m_ini.LeggiIni(kSezioneDati, kChiaveDataBase, kFileImpostazioni);
        const QString finestra = m_ini.LeggiIni(kSezioneDati, kChiaveFinestraPGM, kFileImpostazioni);
        const QString delay = m_ini.LeggiIni(kSezioneDati, kChiaveDelay, kFileImpostazioni);
        if (!database.isEmpty()) testi.database = database;
        if (!finestra.isEmpty()) testi.finestra = finestra;
        if (ritardoDaTesto(delay)) testi.delay = delay;
    } catch (const Fallimento& fallimento) {
        lettura.fallimento = fallimento;
    }
    return lettura;
}

QString ImpostazioniDialogo::percorsoDatabase(const QString& testo) const {
    return percorsoDatabaseDaTesto(testo, m_ini.cartellaProgramma());
}

std::optional<QString> ImpostazioniDialogo::databaseScelto(const std::optional<QString>& nome) {
    if (!nome || nome->isEmpty() || !QFileInfo(*nome).isFile()) return std::nullopt;
    return QDir::toNativeSeparators(*nome);
}

void ImpostazioniDialogo::salva(const TestiImpostazioni& testi) {
    const std::optional<std::int32_t> ritardo = ritardoDaTesto(testi.delay);
    if (!ritardo) {
        throw Fallimento(OrigineFallimento::Conversione, conversione::kTipoNonCorrispondente,
                         avvisi::kRitardoNonValido.toStdString());
    }
    m_ini.ScriviIni(kSezioneDati,
                    {{kChiaveDataBase, testi.database},
                     {kChiaveFinestraPGM, testi.finestra},
                     {kChiaveDelay, testi.delay}},
                    kFileImpostazioni);
    // The file is on disk before the settings in memory change, and they
    // change to what the next start will read from it.
    m_configurazione.PercorsoDatabase = percorsoDatabase(testi.database);
    m_configurazione.TitoloFinestra = senzaBlank(testi.finestra).toString();
    m_configurazione.Ritardo = *ritardo;
}

QString ImpostazioniDialogo::messaggioLettura(const Fallimento& fallimento) {
    // The description already names the file and the system's reason.
    return QString::fromStdString(fallimento.descrizione());
}

QString ImpostazioniDialogo::messaggioSalvataggio(const Fallimento& fallimento) {
    const QString descrizione = QString::fromStdString(fallimento.descrizione());
    if (fallimento.origine() == OrigineFallimento::Conversione) return descrizione;
    return descrizione + avvisi::kImpostazioniNonSalvate;
}

}  // namespace tastalo
