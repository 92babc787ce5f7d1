#include "converti_compact.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QFileInfo>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "core/fallimento.h"
#include "file_provvisorio.h"
#include "store/compact/file_compact.h"
#include "store/compact/tipi_compact.h"

namespace tastalo::makedb {

namespace {

// "name" with any double quote doubled.
std::string identificatore(const std::string& nome) {
    std::string out = "\"";
    for (const char c : nome) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

const char* tipoDichiarato(std::uint16_t tipo) {
    switch (tipo) {
        case compact::tipo::kTinyint:
        case compact::tipo::kSmallint:
        case compact::tipo::kInt:
        case compact::tipo::kBigint:
        case compact::tipo::kBit: return "INTEGER";
        case compact::tipo::kReal:
        case compact::tipo::kFloat: return "REAL";
        case compact::tipo::kVarbinary:
        case compact::tipo::kImage: return "BLOB";
        // The engine compares text without regard to case: so do lista's
        // ORDER BY and every other comparison in the copy.
        case compact::tipo::kNchar:
        case compact::tipo::kNvarchar:
        case compact::tipo::kNtext: return "TEXT COLLATE NOCASE";
        default:  // datetime, money, uniqueidentifier, written as text
            return "TEXT";
    }
}

void crea(SQLite::Database& db, const compact::Tabella& tabella) {
    std::string sql = "CREATE TABLE " + identificatore(tabella.nome) + "(";
    for (const compact::Colonna& c : tabella.colonne) {
        if (c.posizione > 0) sql += ", ";
        sql += identificatore(c.nome) + " " + tipoDichiarato(c.tipo);
    }
    db.exec(sql + ")");
}

// Binds a value by its kind, whatever the column's declared type.
struct Legatore {
    SQLite::Statement& istruzione;
    int indice;

    void operator()(std::monostate) const { istruzione.bind(indice); }
    void operator()(std::int64_t v) const { istruzione.bind(indice, v); }
    void operator()(double v) const { istruzione.bind(indice, v); }
    void operator()(const std::u16string& v) const {
        istruzione.bind(indice, QString::fromStdU16String(v).toUtf8().toStdString());
    }
    void operator()(const compact::Binario& v) const {
        // Never a null pointer, which SQLite would take for NULL.
        static const std::uint8_t kVuoto = 0;
        istruzione.bind(indice, v.empty() ? &kVuoto : v.data(), static_cast<int>(v.size()));
    }
    void operator()(const compact::DataOra& v) const { istruzione.bind(indice, compact::testoDataOra(v)); }
    void operator()(const compact::Denaro& v) const { istruzione.bind(indice, compact::testoDenaro(v)); }
    void operator()(const compact::Guid& v) const { istruzione.bind(indice, compact::testoGuid(v)); }
};

std::size_t copia(SQLite::Database& db, compact::FileCompact& file, const compact::Tabella& tabella) {
    std::string sql = "INSERT INTO " + identificatore(tabella.nome) + " VALUES(";
    for (std::size_t i = 0; i < tabella.colonne.size(); ++i) sql += i ? ", ?" : "?";
    SQLite::Statement inserimento(db, sql + ")");
    std::size_t righe = 0;
    file.scorriRighe(tabella, [&](const compact::Riga& riga) {
        for (const compact::Colonna& c : tabella.colonne) {
            std::visit(Legatore{inserimento, c.posizione + 1}, riga.valore(c));
        }
        inserimento.exec();
        inserimento.reset();
        ++righe;
        return true;
    });
    return righe;
}

}  // namespace

Conversione convertiCompact(const QString& sorgente, const QString& destinazione, bool sostituisci) {
    if (!sostituisci && QFileInfo::exists(destinazione)) fileEsistente(destinazione);

    FileProvvisorio provvisorio(destinazione);
    Conversione conversione;
    try {
        // SQLite takes an existing empty file as an empty database.
        SQLite::Database db(provvisorio.nome().toUtf8().toStdString(), SQLite::OPEN_READWRITE);
        std::optional<SQLite::Transaction> transazione;
        compact::leggiCoerente(std::filesystem::path(sorgente.toStdU16String()),
                               [&](compact::FileCompact& file) {
                                   // A second reading, of a file written meanwhile, starts over:
                                   // the first one's transaction is rolled back.
                                   transazione.reset();
                                   transazione.emplace(db);
                                   conversione = {};
                                   for (const compact::Tabella& tabella : file.tabelle()) {
                                       crea(db, tabella);
                                       conversione.righe += copia(db, file, tabella);
                                       ++conversione.tabelle;
                                   }
                               });
        if (transazione) transazione->commit();
    } catch (const SQLite::Exception& e) {
        const int codice = e.getErrorCode() < 0 ? 21 : (e.getErrorCode() & 0xff);
        throw Fallimento(OrigineFallimento::Database, codice, e.what());
    }
    provvisorio.sposta(sostituisci);
    return conversione;
}

}  // namespace tastalo::makedb
