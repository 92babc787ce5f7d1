#pragma once

#include <QString>
#include <vector>

#include "settings/ini_file.h"

namespace tastalo {

// Reads single values of INI files that live in the program folder, and
// writes values into them. Each call reads the file afresh: nothing is cached.
class IniProgramma {
public:
    explicit IniProgramma(QString cartellaProgramma);

    const QString& cartellaProgramma() const { return m_cartella; }
    QString percorsoFile(const QString& nomeFile) const;
    // True only for an existing file: a directory of that name does not count.
    bool esiste(const QString& nomeFile) const;

    // Empty text for a missing file, section or key. Throws Fallimento
    // (FileImpostazioni) when the file exists but cannot be read.
    QString LeggiIni(const QString& sezione, const QString& chiave, const QString& nomeFile) const;

    // Writes values of one section in one replacement of the file, all of
    // them or none: creates the file, adds the section or keys, or replaces
    // the values in place. Every other byte stays, and so does a line whose
    // value does not change. Throws Fallimento (FileImpostazioni) naming the file and
    // the reason.
    void ScriviIni(const QString& sezione, const std::vector<ini::ValoreIni>& valori,
                   const QString& nomeFile) const;

private:
    QString m_cartella;
};

}  // namespace tastalo
