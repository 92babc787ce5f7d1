#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace tastalo::prova {

TempFolder::TempFolder() : m_path(m_dir.path()) {
    if (!m_dir.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

QString TempFolder::file(const QString& name) const { return QDir(m_path).filePath(name); }

void TempFolder::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + name.toStdString());
    }
}

QByteArray TempFolder::read(const QString& name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + name.toStdString());
    return f.readAll();
}

}  // namespace tastalo::prova
