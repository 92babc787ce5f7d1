#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tastalo {

// A file's bytes (or its absence) taken before a series of writes, so that a
// series interrupted half-way can put the file back as it was.
class IstantaneaFile {
public:
    // Throws Failure (SettingsFile) when the file exists but cannot be read.
    static IstantaneaFile scatta(const QString& percorso);

    const QString& percorso() const { return m_percorso; }
    bool esisteva() const { return m_contenuto.has_value(); }

    // True when the file on disk is the same as when the snapshot was taken.
    bool invariato() const;

    // Puts back the same bytes, or removes a file that did not exist. The
    // bytes are replaced atomically. Throws Failure (SettingsFile).
    void ripristina() const;

private:
    IstantaneaFile(QString percorso, std::optional<QByteArray> contenuto);

    QString m_percorso;
    std::optional<QByteArray> m_contenuto;
};

}  // namespace tastalo
