#pragma once

#include <QString>
#include <optional>

#include "core/fallimento.h"

namespace tastalo {

struct Configurazione;
class IniProgramma;

// The settings dialog's three texts, exactly as its boxes hold them.
struct TestiImpostazioni {
    QString database;
    QString finestra;
    QString delay;
};

// What the dialog shows when it opens, and the failure that stopped the
// reading of the file, if one did.
struct LetturaImpostazioni {
    TestiImpostazioni testi;
    std::optional<Fallimento> fallimento;
};

// The settings dialog's work, apart from its window: loading the boxes from
// spooling.ini, accepting a chosen database file, and saving.
class ImpostazioniDialogo {
public:
    ImpostazioniDialogo(const IniProgramma& ini, Configurazione& configurazione);

    // The three texts of spooling.ini as they are now; the value in use for
    // a key that is empty or, for Delay, not a delay. Never throws: a file
    // that cannot be read leaves the values in use and its failure.
    LetturaImpostazioni leggi() const;

    // The file that a database text names, as start-up would take it: where
    // the file chooser opens.
    QString percorsoDatabase(const QString& testo) const;

    // The name that the file chooser gave, in native form, when it names an
    // existing file; nothing for a cancel or any other name.
    static std::optional<QString> databaseScelto(const std::optional<QString>& nome);

    // Writes the three texts as they stand in one replacement of the file,
    // then sets Configurazione to the values that start-up reads from them. A
    // Delay that start-up would not take is refused first (Fallimento,
    // Conversione). A failed write leaves the file as it was and Configurazione
    // untouched (Fallimento, FileImpostazioni).
    void salva(const TestiImpostazioni& testi);

    // The operator's texts for the failures above.
    static QString messaggioLettura(const Fallimento& fallimento);
    static QString messaggioSalvataggio(const Fallimento& fallimento);

private:
    const IniProgramma& m_ini;
    Configurazione& m_configurazione;
};

}  // namespace tastalo
