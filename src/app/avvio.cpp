#include "app/avvio.h"

#include "core/avvisi.h"
#include "core/fallimento.h"
#include "core/messaggi.h"
#include "settings/configurazione.h"
#include "settings/ini_programma.h"
#include "settings/ritardo.h"

namespace tastalo {
namespace {

void impostaPredefiniti(const IniProgramma& ini, Configurazione& configurazione) {
    configurazione.PercorsoDatabase = percorsoDatabasePredefinito(ini.cartellaProgramma());
    configurazione.TitoloFinestra = kTitoloPredefinito;
    configurazione.Ritardo = kRitardoPredefinito;
}

// Reads all three values before touching the settings, so that a failure
// halfway leaves nothing of the file in them.
void leggiFileEsistente(const IniProgramma& ini, Configurazione& configurazione, Messaggi& messaggi) {
    const QString database = ini.LeggiIni(kSezioneDati, kChiaveDataBase, kFileImpostazioni);
    const QString finestra = ini.LeggiIni(kSezioneDati, kChiaveFinestraPGM, kFileImpostazioni);
    const QString delay = ini.LeggiIni(kSezioneDati, kChiaveDelay, kFileImpostazioni);

    // A missing DataBase key, or a file with no DATI section at all, means the
    // same database as a first start.
    configurazione.PercorsoDatabase = percorsoDatabaseDaTesto(database, ini.cartellaProgramma());
    configurazione.TitoloFinestra = finestra;
    if (const std::optional<std::int32_t> ritardo = ritardoDaTesto(delay)) {
        configurazione.Ritardo = *ritardo;
    } else {
        // The send job needs a whole number of milliseconds, 0 or more; the
        // file is left for the operator to correct in the settings dialog.
        configurazione.Ritardo = kRitardoPredefinito;
        messaggi.errore(avvisi::kDelayNonValido);
    }
}

// One write of the whole file: a failure leaves no file, rather than one
// that lacks keys and would be read as it stands at every later start.
void creaFile(const IniProgramma& ini, const Configurazione& configurazione) {
    ini.ScriviIni(kSezioneDati,
                  {{kChiaveDataBase, configurazione.PercorsoDatabase},
                   {kChiaveFinestraPGM, configurazione.TitoloFinestra},
                   {kChiaveDelay, QString::number(configurazione.Ritardo)}},
                  kFileImpostazioni);
}

}  // namespace

void caricaConfigurazione(const IniProgramma& ini, Configurazione& configurazione, Messaggi& messaggi) {
    try {
        if (ini.esiste(kFileImpostazioni)) {
            leggiFileEsistente(ini, configurazione, messaggi);
        } else {
            impostaPredefiniti(ini, configurazione);
            creaFile(ini, configurazione);
        }
    } catch (const Fallimento& fallimento) {
        // The program can still run on the defaults; the operator learns why
        // the file was not used and can fix the folder or the file.
        impostaPredefiniti(ini, configurazione);
        messaggi.errore(avvisi::conValoriPredefiniti(QString::fromStdString(fallimento.descrizione())));
    }
}

}  // namespace tastalo
