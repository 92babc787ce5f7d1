#pragma once

#include <QString>
#include <optional>

#include "common/failure.h"

namespace tastalo {

class Configurazione;
class IniProgramma;

inline const QString kMessaggioRitardoNonValido =
    QStringLiteral("Il ritardo deve essere un numero intero di millisecondi, da 0 a 2147483647.");

// The settings dialog's three texts, exactly as its boxes hold them.
struct TestiImpostazioni {
    QString database;
    QString finestra;
    QString delay;
};

// What the dialog shows when it opens: whatever could be read, and the
// failure that stopped the reading, if one did.
struct LetturaImpostazioni {
    TestiImpostazioni testi;
    std::optional<Failure> errore;
};

// The settings dialog's work, apart from its window: loading the boxes from
// spooling.ini, accepting a chosen database file, and saving.
class ImpostazioniDialogo {
public:
    ImpostazioniDialogo(const IniProgramma& ini, Configurazione& configurazione);

    // DataBase, FinestraPGM and Delay as the file holds them; only an empty
    // database path is replaced, by the default one. Never throws.
    LetturaImpostazioni leggi() const;

    // The name that the file chooser gave, in native form, when it names an
    // existing file; nothing for a cancel or any other name.
    static std::optional<QString> databaseScelto(const std::optional<QString>& nome);

    // Writes the three texts as they stand, then updates Configurazione. A
    // Delay that is no whole number from 0 to 2147483647 is refused first
    // (Failure, Conversion). A failed write leaves the file as it was and
    // Configurazione untouched (Failure, SettingsFile).
    void salva(const TestiImpostazioni& testi);

    // The operator's texts for the failures above.
    static QString messaggioLettura(const Failure& errore);
    static QString messaggioSalvataggio(const Failure& errore);

private:
    void scriviTutte(const TestiImpostazioni& testi) const;

    const IniProgramma& m_ini;
    Configurazione& m_configurazione;
};

}  // namespace tastalo
