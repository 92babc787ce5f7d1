#include "database_liste.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QFileInfo>
#include <string>

#include "core/fallimento.h"
#include "file_provvisorio.h"

namespace tastalo::makedb {

namespace {

std::string utf8(const QString& testo) { return testo.toUtf8().toStdString(); }

[[noreturn]] void fallisci(const SQLite::Exception& e) {
    const int codice = e.getErrorCode() < 0 ? 21 : (e.getErrorCode() & 0xff);
    throw Fallimento(OrigineFallimento::Database, codice, e.what());
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
    // Names sort without regard to case, as in the databases the lists come
    // from; the list query's text stays the same.
    db.exec("CREATE TABLE liste(idLista INTEGER PRIMARY KEY, lista TEXT COLLATE NOCASE)");
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

    FileProvvisorio provvisorio(percorso);
    // SQLite takes an existing empty file as an empty database.
    try {
        SQLite::Database db(utf8(provvisorio.nome()), SQLite::OPEN_READWRITE);
        creaTabelle(db, vincolo);
        inserisci(db, liste);
    } catch (const SQLite::Exception& e) {
        fallisci(e);
    }
    provvisorio.sposta(sostituisci);
}

}  // namespace tastalo::makedb
