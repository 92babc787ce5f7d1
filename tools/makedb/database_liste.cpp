#include "database_liste.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/fallimento.h"

namespace tastalo::makedb {

namespace {

std::string utf8(const QString& testo) { return testo.toUtf8().toStdString(); }

[[noreturn]] void fallisci(const SQLite::Exception& e) {
    const int codice = e.getErrorCode() < 0 ? 21 : (e.getErrorCode() & 0xff);
    throw Fallimento(OrigineFallimento::Database, codice, e.what());
}

[[noreturn]] void fileEsistente(const QString& percorso) {
    throw Fallimento(OrigineFallimento::Programma, kFileEsistente,
                     "File già esistente: " + utf8(QDir::toNativeSeparators(percorso)));
}

const char* riferimento(Vincolo vincolo) {
    switch (vincolo) {
        case Vincolo::Cascata: return " REFERENCES liste(idLista) ON DELETE CASCADE";
        case Vincolo::SoloRiferimento: return " REFERENCES liste(idLista)";
        case Vincolo::Nessuno: break;
    }
    return "";
}

void creaTabelle(SQLite::Database& db, Vincolo vincolo) {
    SQLite::Transaction transazione(db);
    db.exec("CREATE TABLE liste(idLista INTEGER PRIMARY KEY, lista TEXT)");
    db.exec(std::string("CREATE TABLE movimenti(idLista INTEGER") + riferimento(vincolo) + ", Barcode TEXT)");
    // The barcode query selects by list, and a cascading delete looks the
    // barcodes up by list too. Rows of one list keep their insertion order.
    db.exec("CREATE INDEX movimenti_idLista ON movimenti(idLista)");
    transazione.commit();
}

void inserisci(SQLite::Database& db, const std::vector<Lista>& liste) {
    db.exec("PRAGMA foreign_keys = ON");
    SQLite::Transaction transazione(db);
    SQLite::Statement lista(db, "INSERT INTO liste(idLista, lista) VALUES(?, ?)");
    SQLite::Statement movimento(db, "INSERT INTO movimenti(idLista, Barcode) VALUES(?, ?)");
    for (const Lista& l : liste) {
        lista.bind(1, static_cast<std::int64_t>(l.idLista));
        lista.bind(2, utf8(l.nome));
        lista.exec();
        lista.reset();
        movimento.bind(1, static_cast<std::int64_t>(l.idLista));
        for (const QString& b : l.barcode) {
            movimento.bind(2, utf8(b));
            movimento.exec();
            movimento.reset();
        }
    }
    transazione.commit();
}

void rimuoviFileCompagni(const QString& percorso) {
    // A journal left by a crash beside the replaced file would otherwise be
    // played back into the new one.
    for (const char* suffisso : {"-journal", "-wal", "-shm"}) QFile::remove(percorso + suffisso);
}

// The file a new database is made in, beside its final place; removed
// unless it was moved there.
class FileProvvisorio {
public:
    explicit FileProvvisorio(const QDir& cartella) {
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
    ~FileProvvisorio() {
        if (!m_spostato) QFile::remove(m_nome);
    }
    FileProvvisorio(const FileProvvisorio&) = delete;
    FileProvvisorio& operator=(const FileProvvisorio&) = delete;

    const QString& nome() const { return m_nome; }
    void spostato() { m_spostato = true; }

private:
    QString m_nome;
    bool m_spostato = false;
};

}  // namespace

void creaDatabase(const QString& percorso, Vincolo vincolo) {
    if (QFileInfo::exists(percorso)) fileEsistente(percorso);
    try {
        SQLite::Database db(utf8(percorso), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        creaTabelle(db, vincolo);
    } catch (const SQLite::Exception& e) {
        fallisci(e);
    }
}

void aggiungiListe(const QString& percorso, const std::vector<Lista>& liste) {
    try {
        SQLite::Database db(utf8(percorso), SQLite::OPEN_READWRITE);
        inserisci(db, liste);
    } catch (const SQLite::Exception& e) {
        fallisci(e);
    }
}

void aggiungiLista(const QString& percorso, std::int64_t idLista, const QString& nome,
                   const std::vector<QString>& barcode) {
    aggiungiListe(percorso, {Lista{idLista, nome, barcode}});
}

void scriviDatabase(const QString& percorso, const std::vector<Lista>& liste, Vincolo vincolo,
                    bool sostituisci) {
    if (!sostituisci && QFileInfo::exists(percorso)) fileEsistente(percorso);

    FileProvvisorio provvisorio(QFileInfo(percorso).absoluteDir());
    // SQLite takes an existing empty file as an empty database.
    try {
        SQLite::Database db(utf8(provvisorio.nome()), SQLite::OPEN_READWRITE);
        creaTabelle(db, vincolo);
        inserisci(db, liste);
    } catch (const SQLite::Exception& e) {
        fallisci(e);
    }
    QFile::setPermissions(provvisorio.nome(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);

    bool spostato = false;
    QString motivo;
    if (sostituisci) {
        rimuoviFileCompagni(percorso);
        std::error_code errore;
        std::filesystem::rename(std::filesystem::path(provvisorio.nome().toStdU16String()),
                                std::filesystem::path(percorso.toStdU16String()), errore);
        spostato = !errore;
        motivo = QString::fromLocal8Bit(errore.message());
    } else {
        // Does not replace a file that appeared in the meantime.
        QFile file(provvisorio.nome());
        spostato = file.rename(percorso);
        if (!spostato && QFileInfo::exists(percorso)) fileEsistente(percorso);
        motivo = file.errorString();
    }
    if (!spostato) {
        throw Fallimento(
            OrigineFallimento::Programma, 75,
            "Impossibile scrivere " + utf8(QDir::toNativeSeparators(percorso)) + ": " + utf8(motivo));
    }
    provvisorio.spostato();
}

}  // namespace tastalo::makedb
