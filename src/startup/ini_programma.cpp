#include "startup/ini_programma.h"

#include <QDir>
#include <QFileInfo>

#include "startup/ini_file.h"

namespace tastalo {

QString percorsoDatabasePredefinito(const QString& cartellaProgramma) {
    return QDir::toNativeSeparators(QDir(cartellaProgramma).filePath(QStringLiteral("Dati.sdf")));
}

IniProgramma::IniProgramma(QString cartellaProgramma) : m_cartella(std::move(cartellaProgramma)) {}

QString IniProgramma::percorsoFile(const QString& nomeFile) const {
    return QDir::toNativeSeparators(QDir(m_cartella).filePath(nomeFile));
}

bool IniProgramma::esiste(const QString& nomeFile) const {
    return QFileInfo(percorsoFile(nomeFile)).isFile();
}

QString IniProgramma::LeggiIni(const QString& sezione, const QString& chiave,
                               const QString& nomeFile) const {
    return ini::leggiDaFile(percorsoFile(nomeFile), sezione, chiave);
}

void IniProgramma::ScriviIni(const QString& sezione, const QString& chiave, const QString& valore,
                             const QString& nomeFile) const {
    ini::scriviSuFile(percorsoFile(nomeFile), sezione, chiave, valore);
}

}  // namespace tastalo
