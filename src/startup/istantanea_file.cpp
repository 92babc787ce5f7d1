#include "startup/istantanea_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "common/failure.h"

namespace tastalo {
namespace {

Failure erroreFile(const QString& azione, const QString& percorso, const QFileDevice& file) {
    return {FailureSource::SettingsFile, static_cast<std::int32_t>(file.error()),
            QStringLiteral("%1 il file %2: %3")
                .arg(azione, QDir::toNativeSeparators(percorso), file.errorString())
                .toStdString()};
}

// Nothing when the path names nothing; the bytes of a file that can be read.
std::optional<QByteArray> leggi(const QString& percorso) {
    if (!QFileInfo::exists(percorso)) return std::nullopt;
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) {
        throw erroreFile(QStringLiteral("Impossibile leggere"), percorso, file);
    }
    QByteArray contenuto = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw erroreFile(QStringLiteral("Impossibile leggere"), percorso, file);
    }
    return contenuto;
}

}  // namespace

IstantaneaFile::IstantaneaFile(QString percorso, std::optional<QByteArray> contenuto)
    : m_percorso(std::move(percorso)), m_contenuto(std::move(contenuto)) {}

IstantaneaFile IstantaneaFile::scatta(const QString& percorso) {
    return IstantaneaFile(percorso, leggi(percorso));
}

bool IstantaneaFile::invariato() const {
    try {
        return leggi(m_percorso) == m_contenuto;
    } catch (const Failure&) {
        return false;
    }
}

void IstantaneaFile::ripristina() const {
    if (!m_contenuto) {
        QFile file(m_percorso);
        if (file.exists() && !file.remove()) {
            throw erroreFile(QStringLiteral("Impossibile eliminare"), m_percorso, file);
        }
        return;
    }
    QSaveFile file(m_percorso);
    if (!file.open(QIODevice::WriteOnly) || file.write(*m_contenuto) != m_contenuto->size() ||
        !file.commit()) {
        throw erroreFile(QStringLiteral("Impossibile ripristinare"), m_percorso, file);
    }
}

}  // namespace tastalo
