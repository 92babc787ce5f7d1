#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace tastalo::makedb {

// One list to write: its id, its name and its barcodes in database order.
struct Lista {
    std::int64_t idLista = 0;
    QString nome;
    std::vector<QString> barcode;
};

// How the barcodes in `movimenti` depend on their list in `liste`.
enum class Vincolo {
    Cascata,          // REFERENCES liste ON DELETE CASCADE: a deleted list takes its barcodes
    SoloRiferimento,  // REFERENCES liste, no action: a list with barcodes cannot be deleted
    Nessuno,          // no reference: the barcodes of a deleted list stay behind
};

// The code of the failure for a file that is there already.
inline constexpr std::int32_t kFileEsistente = 58;

// Creates a new database file with the empty tables `liste` and `movimenti`.
// Fails (Program, kFileEsistente) when the file exists; SQLite's failures as
// Fallimento (Database).
void creaDatabase(const QString& percorso, Vincolo vincolo = Vincolo::Cascata);

// Adds lists with their barcodes to an existing database, all in one
// transaction: either every list is added or none is.
void aggiungiListe(const QString& percorso, const std::vector<Lista>& liste);
void aggiungiLista(const QString& percorso, std::int64_t idLista, const QString& nome,
                   const std::vector<QString>& barcode);

// Writes a whole new database beside `percorso` and moves it into place only
// once it is complete, so a failure leaves no file, or the old one, behind.
// An existing file is replaced only with `sostituisci`.
void scriviDatabase(const QString& percorso, const std::vector<Lista>& liste, Vincolo vincolo,
                    bool sostituisci);

}  // namespace tastalo::makedb
