#pragma once

#include <QString>

namespace tastalo {

inline const QString kSezioneDati = QStringLiteral("DATI");
inline const QString kFileImpostazioni = QStringLiteral("spooling.ini");
inline const QString kChiaveDataBase = QStringLiteral("DataBase");
inline const QString kChiaveFinestraPGM = QStringLiteral("FinestraPGM");
inline const QString kChiaveDelay = QStringLiteral("Delay");
inline const QString kTitoloPredefinito = QStringLiteral("Korvedo");
inline constexpr int kRitardoPredefinito = 500;

// The program folder joined with "Dati.sdf", with the platform's separator.
QString percorsoDatabasePredefinito(const QString& cartellaProgramma);

// Reads and writes single values of INI files that live in the program folder.
// Each call reads the file afresh: nothing is cached.
class IniProgramma {
public:
    explicit IniProgramma(QString cartellaProgramma);

    const QString& cartellaProgramma() const { return m_cartella; }
    QString percorsoFile(const QString& nomeFile) const;
    // True only for an existing file: a directory of that name does not count.
    bool esiste(const QString& nomeFile) const;

    // Empty text for a missing file, section or key. Throws Failure
    // (SettingsFile) when the file exists but cannot be read.
    QString LeggiIni(const QString& sezione, const QString& chiave, const QString& nomeFile) const;

    // Creates the file, adds the section or key, or replaces the value in
    // place; every other byte stays. The file is replaced atomically. Throws
    // Failure (SettingsFile) naming the file and the system's reason.
    void ScriviIni(const QString& sezione, const QString& chiave, const QString& valore,
                   const QString& nomeFile) const;

private:
    QString m_cartella;
};

}  // namespace tastalo
