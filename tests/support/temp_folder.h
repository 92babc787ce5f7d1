#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tastalo::prova {

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    const QString& path() const { return m_path; }
    QString file(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

}  // namespace tastalo::prova
