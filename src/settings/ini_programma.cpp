#include "settings/ini_programma.h"

#include <QDir>
#include <QFileInfo>

#include "settings/ini_file.h"
#include "settings/senza_blank.h"

namespace tastalo {

QString percorsoDatabasePredefinito(const QString& cartellaProgramma) {
    return QDir::toNativeSeparators(QDir(cartellaProgramma).filePath(QStringLiteral("Dati.sdf")));
}

QString percorsoDatabaseDaTesto(QStringView testo, const QString& cartellaProgramma) {
    const QString percorso = senzaBlank(testo).toString();
    if (percorso.isEmpty()) return percorsoDatabasePredefinito(cartellaProgramma);
    if (!QDir::isRelativePath(percorso)) return percorso;
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(cartellaProgramma).absoluteFilePath(percorso)));
}

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
