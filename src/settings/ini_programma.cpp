#include "settings/ini_programma.h"

#include <QDir>
#include <QFileInfo>

#include "settings/ini_file.h"

namespace tastalo {

IniProgramma::IniProgramma(QString cartellaProgramma) : m_cartella(std::move(cartellaProgramma)) {}

QString IniProgramma::percorsoFile(const QString& nomeFile) const {
    return QDir::toNativeSeparators(QDir(m_cartella).filePath(nomeFile));
}

bool IniProgramma::esiste(const QString& nomeFile) const {
    return QFileInfo(percorsoFile(nomeFile)).isFile();
}

QString IniProgramma::LeggiIni(const QString& sezione, const QString& chiave, const QString& nomeFile) const {
    return ini::leggiDaFile(percorsoFile(nomeFile), sezione, chiave);
}

void IniProgramma::ScriviIni(const QString& sezione, const std::vector<ini::ValoreIni>& valori,
                             const QString& nomeFile) const {
    ini::scriviSuFile(percorsoFile(nomeFile), sezione, valori);
}

}  // namespace tastalo
