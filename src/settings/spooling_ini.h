#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "core/fallimento.h"

namespace tastalo {

struct Configurazione;
class IniProgramma;

// The program folder joined with "Dati.sdf", with the platform's separator.
QString percorsoDatabasePredefinito(const QString& cartellaProgramma);

// The three texts of spooling.ini, exactly as the settings dialog's boxes
// hold them.
struct TestiImpostazioni {
    QString percorsoDatabase;
    QString titoloFinestra;
    QString ritardo;
};

// What the settings dialog shows when it opens, and the failure that stopped
// the reading of the file, if one did.
struct LetturaImpostazioni {
    TestiImpostazioni testi;
    std::optional<Fallimento> fallimento;
};

// What loading at start-up met. Configurazione is usable in every case.
struct EsitoCaricamento {
    // The file could not be read or created: every setting is the default.
    std::optional<Fallimento> fallimento;
    // The Delay text is no delay: the default is in use, and the file is
    // left for the operator to correct in the settings dialog.
    bool ritardoNonValido = false;
};

// spooling.ini in the program folder: the one place that names its section
// and keys, holds its defaults and turns its texts into Configurazione, for
// start-up and for the settings dialog alike.
class SpoolingIni {
public:
    explicit SpoolingIni(const IniProgramma& ini);

    // Start-up: the three values of the file, or, when there is no file, the
    // defaults, written into a new one. A DataBase that is missing or empty
    // names the default database, a relative one is taken from the program
    // folder. A file that cannot be read or created leaves every default.
    EsitoCaricamento carica(Configurazione& configurazione) const;

    // The dialog's opening: the file's texts as they are now, so that an edit
    // made by hand or by another copy of the program is seen. The value in
    // `inUso` stands for a key that is missing or empty and for a Delay that
    // is no delay, and for every key of a file that cannot be read. Never
    // throws.
    LetturaImpostazioni leggiTesti(const Configurazione& inUso) const;

    // The dialog's save: the three texts as they stand, in one replacement of
    // the file, then Configurazione set to what start-up reads from them. A
    // Delay that start-up would not take is refused first (Fallimento,
    // Conversione). A failed write leaves the file as it was and
    // Configurazione untouched (Fallimento, FileImpostazioni).
    void salva(const TestiImpostazioni& testi, Configurazione& configurazione) const;

    // The database file that a DataBase text names, as start-up takes it.
    QString percorsoDatabase(QStringView testo) const;

private:
    const IniProgramma& m_ini;
};

}  // namespace tastalo
