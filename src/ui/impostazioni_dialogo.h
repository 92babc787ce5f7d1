#pragma once

#include <QString>
#include <optional>

#include "core/fallimento.h"
#include "settings/spooling_ini.h"

namespace tastalo {

struct Configurazione;
class IniProgramma;

// The settings dialog's work, apart from its window: loading the boxes from
// spooling.ini, accepting a chosen database file, and saving.
class ImpostazioniDialogo {
public:
    ImpostazioniDialogo(const IniProgramma& ini, Configurazione& configurazione);

    // What the boxes show when the dialog opens (SpoolingIni::leggiTesti,
    // with the values in use). Never throws.
    LetturaImpostazioni leggi() const;

    // The file that a database text names, as start-up would take it: where
    // the file chooser opens.
    QString percorsoDatabase(const QString& testo) const;

    // The name that the file chooser gave, in native form, when it names an
    // existing file; nothing for a cancel or any other name.
    static std::optional<QString> databaseScelto(const std::optional<QString>& nome);

    // Saves the boxes' texts into the file and Configurazione
    // (SpoolingIni::salva); throws its Fallimento.
    void salva(const TestiImpostazioni& testi);

    // The operator's texts for the failures above.
    static QString messaggioLettura(const Fallimento& fallimento);
    static QString messaggioSalvataggio(const Fallimento& fallimento);

private:
    SpoolingIni m_spoolingIni;
    Configurazione& m_configurazione;
};

}  // namespace tastalo
