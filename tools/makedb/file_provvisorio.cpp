#include "file_provvisorio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/fallimento.h"
#include "database_liste.h"

namespace tastalo::makedb {

namespace {

std::string utf8(const QString& testo) { return testo.toUtf8().toStdString(); }

void rimuoviFileCompagni(const QString& percorso) {
    // A journal left by a crash beside the replaced file would otherwise be
    // played back into the new one.
    for (const char* suffisso : {"-journal", "-wal", "-shm"}) QFile::remove(percorso + suffisso);
}

}  // namespace

void fileEsistente(const QString& percorso) {
    throw Fallimento(OrigineFallimento::Programma, kFileEsistente,
                     "File già esistente: " + utf8(QDir::toNativeSeparators(percorso)));
}

FileProvvisorio::FileProvvisorio(const QString& destinazione) : m_destinazione(destinazione) {
    const QDir cartella = QFileInfo(destinazione).absoluteDir();
    // QTemporaryFile only picks the name: it holds its file open until it
    // is destroyed, close() or not, and Windows moves no open file.
    QTemporaryFile file(cartella.filePath(QStringLiteral(".makedb-XXXXXX")));
    file.setAutoRemove(false);
    if (!file.open()) {
        throw Fallimento(OrigineFallimento::Programma, 75,
                         "Impossibile creare un file in " +
                             utf8(QDir::toNativeSeparators(cartella.absolutePath())) + ": " +
                             utf8(file.errorString()));
    }
    m_nome = file.fileName();
}

FileProvvisorio::~FileProvvisorio() {
    if (!m_spostato) QFile::remove(m_nome);
}

void FileProvvisorio::sposta(bool sostituisci) {
    QFile::setPermissions(m_nome, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                      QFileDevice::WriteUser | QFileDevice::ReadGroup |
                                      QFileDevice::ReadOther);
    bool spostato = false;
    QString motivo;
    if (sostituisci) {
        rimuoviFileCompagni(m_destinazione);
        std::error_code errore;
        std::filesystem::rename(std::filesystem::path(m_nome.toStdU16String()),
                                std::filesystem::path(m_destinazione.toStdU16String()), errore);
        spostato = !errore;
        motivo = QString::fromLocal8Bit(errore.message());
    } else {
        // Does not replace a file that appeared in the meantime.
        QFile file(m_nome);
        spostato = file.rename(m_destinazione);
        if (!spostato && QFileInfo::exists(m_destinazione)) fileEsistente(m_destinazione);
        motivo = file.errorString();
    }
    if (!spostato) {
        throw Fallimento(
            OrigineFallimento::Programma, 75,
            "Impossibile scrivere " + utf8(QDir::toNativeSeparators(m_destinazione)) + ": " + utf8(motivo));
    }
    m_spostato = true;
}

}  // namespace tastalo::makedb
