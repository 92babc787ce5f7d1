#pragma once

#include <QString>

// Where the database maker makes a new file: beside its final place, moved
// there only once complete, so that a failure leaves no file, or the old one,
// behind.
namespace tastalo::makedb {

// Fails (Program, kFileEsistente) naming the file that is there already.
[[noreturn]] void fileEsistente(const QString& percorso);

class FileProvvisorio {
public:
    // An empty file with a fresh name in the folder of `destinazione`.
    explicit FileProvvisorio(const QString& destinazione);
    // Removed unless it was moved into place.
    ~FileProvvisorio();
    FileProvvisorio(const FileProvvisorio&) = delete;
    FileProvvisorio& operator=(const FileProvvisorio&) = delete;

    const QString& nome() const { return m_nome; }

    // Moves the file (closed) to `destinazione`. Without `sostituisci` a file
    // there, even one that appeared meanwhile, fails with kFileEsistente.
    void sposta(bool sostituisci);

private:
    QString m_destinazione;
    QString m_nome;
    bool m_spostato = false;
};

}  // namespace tastalo::makedb
