#pragma once

#include <SQLiteCpp/SQLiteCpp.h>

#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database_liste.h"
#include "settings/configurazione.h"
#include "store/archivio_liste.h"
#include "support/temp_folder.h"

namespace tastalo::prova {

// How long the tests' store waits on a locked file before it fails.
inline constexpr auto kAttesaBreve = std::chrono::milliseconds(100);

// A list database "Dati.sdf" in a temporary folder, made by the database
// maker, with a Configurazione naming it and a store that gives up quickly
// on a lock.
class DatabaseProva {
public:
    // Only the path: the file is missing until the test makes one, for
    // instance with tables of its own through esegui().
    struct SenzaFile {};
    explicit DatabaseProva(SenzaFile) {
        configurazione.PercorsoDatabase = cartella.file(QStringLiteral("Dati.sdf"));
    }

    explicit DatabaseProva(makedb::Vincolo vincolo = makedb::Vincolo::Cascata) : DatabaseProva(SenzaFile{}) {
        makedb::creaDatabase(percorso(), vincolo);
    }

    QString percorso() const { return configurazione.PercorsoDatabase; }
    QString connessione() const { return configurazione.StringaConnessione(); }

    void lista(std::int64_t id, const QString& nome, const std::vector<QString>& barcode = {}) {
        makedb::aggiungiLista(percorso(), id, nome, barcode);
    }

    // Runs SQL on the file, creating it when missing: for what the maker
    // does not write (NULL barcodes, ids of other types, other tables).
    void esegui(const std::string& sql) const {
        apri(SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE).exec(sql);
    }

    std::int64_t conta(const std::string& select) const {
        return apri(SQLite::OPEN_READONLY).execAndGet(select).getInt64();
    }

    std::vector<std::int64_t> idListe() const {
        SQLite::Database db = apri(SQLite::OPEN_READONLY);
        SQLite::Statement q(db, "select idLista from liste order by idLista");
        std::vector<std::int64_t> ids;
        while (q.executeStep()) ids.push_back(q.getColumn(0).getInt64());
        return ids;
    }

    // Another program's connection holding the file locked, as while it
    // writes, until the connection is dropped.
    std::unique_ptr<SQLite::Database> blocca() const {
        auto altro = std::make_unique<SQLite::Database>(apri(SQLite::OPEN_READWRITE));
        altro->exec("BEGIN EXCLUSIVE");
        return altro;
    }

    SQLite::Database apri(int modo) const {
        return SQLite::Database(percorso().toUtf8().toStdString(), modo);
    }

    TempFolder cartella;
    Configurazione configurazione;
    ArchivioListe archivio{kAttesaBreve};
};

}  // namespace tastalo::prova
