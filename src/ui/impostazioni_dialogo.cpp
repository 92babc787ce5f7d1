#include "ui/impostazioni_dialogo.h"

#include <QDir>
#include <QFileInfo>

#include "core/avvisi.h"

namespace tastalo {

ImpostazioniDialogo::ImpostazioniDialogo(const IniProgramma& ini, Configurazione& configurazione)
    : m_spoolingIni(ini), m_configurazione(configurazione) {}

LetturaImpostazioni ImpostazioniDialogo::leggi() const { return m_spoolingIni.leggiTesti(m_configurazione); }

QString ImpostazioniDialogo::percorsoDatabase(const QString& testo) const {
    return m_spoolingIni.percorsoDatabase(testo);
}

std::optional<QString> ImpostazioniDialogo::databaseScelto(const std::optional<QString>& nome) {
    if (!nome || nome->isEmpty() || !QFileInfo(*nome).isFile()) return std::nullopt;
    return QDir::toNativeSeparators(*nome);
}

void ImpostazioniDialogo::salva(const TestiImpostazioni& testi) {
    m_spoolingIni.salva(testi, m_configurazione);
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
