#include "app/avvio.h"

#include "core/avvisi.h"
#include "core/messaggi.h"
#include "settings/spooling_ini.h"

namespace tastalo {

void caricaConfigurazione(const IniProgramma& ini, Configurazione& configurazione, Messaggi& messaggi) {
    const EsitoCaricamento esito = SpoolingIni(ini).carica(configurazione);
    // The operator learns why the file was not used, or which value was not,
    // and can fix the folder or the file.
    if (esito.fallimento) {
        messaggi.errore(
            avvisi::conValoriPredefiniti(QString::fromStdString(esito.fallimento->descrizione())));
    } else if (esito.ritardoNonValido) {
        messaggi.errore(avvisi::kDelayNonValido);
    }
}

}  // namespace tastalo
