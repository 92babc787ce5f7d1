#pragma once

#include <SQLiteCpp/SQLiteCpp.h>

#include <QString>
#include <optional>
#include <vector>

#include "settings/configurazione.h"
#include "support/temp_folder.h"

namespace tastalo::test {

// A list database in a temporary folder, with a Configurazione naming it.
class DatabaseDiProva {
public:
    DatabaseDiProva() {
        configurazione.PercorsoDatabase = cartella.file("Dati.sdf");
        SQLite::Database db(percorso().toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec("create table liste(idLista INTEGER PRIMARY KEY, lista TEXT);"
                "create table movimenti(idLista INTEGER REFERENCES liste(idLista) ON DELETE CASCADE,"
                " Barcode TEXT);");
    }

    QString percorso() const { return configurazione.PercorsoDatabase; }

    // Null entries become NULL barcodes.
    void aggiungiLista(int id, const QString& nome, const std::vector<std::optional<QString>>& barcode) {
        SQLite::Database db(percorso().toStdString(), SQLite::OPEN_READWRITE);
        SQLite::Transaction transazione(db);
        SQLite::Statement lista(db, "insert into liste values (?, ?)");
        lista.bind(1, id);
        lista.bind(2, nome.toStdString());
        lista.exec();
        SQLite::Statement riga(db, "insert into movimenti values (?, ?)");
        for (const auto& b : barcode) {
            riga.bind(1, id);
            if (b) riga.bind(2, b->toStdString());
            else riga.bind(2);
            riga.exec();
            riga.reset();
        }
        transazione.commit();
    }

    TempFolder cartella;
    Configurazione configurazione;
};

}  // namespace tastalo::test
