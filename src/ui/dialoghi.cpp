#include "ui/dialoghi.h"

#include "ui/frm_cancella.h"
#include "ui/frm_imposta.h"

namespace tastalo {

DialoghiQt::DialoghiQt(IniProgramma& ini, Configurazione& configurazione, Messaggi& messaggi,
                       SceltaFile& sceltaFile)
    : m_ini(ini), m_configurazione(configurazione), m_messaggi(messaggi), m_sceltaFile(sceltaFile) {}

RispostaCancellazione DialoghiQt::chiediCancellazione(QWidget* genitore, const QString& lista) {
    frmCancella dialogo(genitore);
    dialogo.impostaLista(lista);
    dialogo.exec();
    return dialogo.CosaFare();
}

void DialoghiQt::mostraImpostazioni(QWidget* genitore) {
    frmImposta dialogo(m_ini, m_configurazione, m_messaggi, m_sceltaFile, genitore);
    dialogo.exec();
}

}  // namespace tastalo
