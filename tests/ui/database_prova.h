#pragma once

#include <SQLiteCpp/SQLiteCpp.h>

#include <QString>
#include <chrono>
#include <stdexcept>
#include <cstdint>
#include <string>
#include <vector>

#include "core/fallimento.h"
#include "database_liste.h"
#include "settings/configurazione.h"
#include "store/archivio_liste.h"
#include "support/temp_folder.h"

namespace tastalo::test {

// A list database made by the database maker in a temporary folder, with a
// Configurazione naming it and a store that gives up quickly on a lock.
class DatabaseProva {
public:
    explicit DatabaseProva(makedb::Vincolo vincolo = makedb::Vincolo::Cascata) {
        configurazione.PercorsoDatabase = cartella.file("Dati.sdf");
        makedb::creaDatabase(percorso(), vincolo);
    }

    // A file with its own tables, for rows the maker cannot write (null or
    // text ids, missing tables).
    struct Grezzo {};
    DatabaseProva(Grezzo, const std::string& schema) {
        configurazione.PercorsoDatabase = cartella.file("Dati.sdf");
        esegui(schema, true);
    }

    QString percorso() const { return configurazione.PercorsoDatabase; }
    QString connessione() const { return configurazione.StringaConnessione(); }

    void lista(std::int64_t id, const QString& nome, const std::vector<QString>& barcode = {}) {
        makedb::aggiungiLista(percorso(), id, nome, barcode);
    }

    void esegui(const std::string& sql, bool crea = false) {
        SQLite::Database db(percorso().toStdString(),
                            SQLite::OPEN_READWRITE | (crea ? SQLite::OPEN_CREATE : 0));
        db.exec(sql);
    }

    std::int64_t conta(const std::string& sql) const {
        SQLite::Database db(percorso().toStdString(), SQLite::OPEN_READONLY);
        return db.execAndGet(sql).getInt64();
    }

    std::vector<std::int64_t> idListe() const {
        SQLite::Database db(percorso().toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement q(db, "select idLista from liste order by idLista");
        std::vector<std::int64_t> ids;
        while (q.executeStep()) ids.push_back(q.getColumn(0).getInt64());
        return ids;
    }

    TempFolder cartella;
    Configurazione configurazione;
    ArchivioListe archivio{std::chrono::milliseconds(100)};
};

// The failure the store gives for opening a connection on `stringa` now: what
// a message about the same file must show.
inline Fallimento fallimentoDiApertura(const ArchivioListe& archivio, const QString& stringa) {
    try {
        archivio.apriQuery(stringa, istruzioni::queryListe());
    } catch (const Fallimento& fallimento) {
        return fallimento;
    }
    throw std::logic_error("the database opened: no failure to compare with");
}

}  // namespace tastalo::test
