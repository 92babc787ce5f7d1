#include "store/connessione_sqlite.h"

#include "store/sqlite_apertura.h"
#include "store/sqlite_fallimento.h"

namespace tastalo {

ConnessioneSqlite::ConnessioneSqlite(const QString& percorso, int attesaMs)
    : m_db(sqlite::apri(percorso, SQLite::OPEN_READWRITE, attesaMs)) {
    // The file's own rules (ON DELETE CASCADE, or a reference that forbids
    // the delete) apply only with foreign keys on, and SQLite starts with
    // them off on every connection.
    try {
        m_db->exec("PRAGMA foreign_keys = ON");
    } catch (const SQLite::Exception& e) {
        sqlite::fallisci(e);
    }
}

void ConnessioneSqlite::esegui(const QString& istruzione) {
    if (!m_db) sqlite::fallisci(SQLITE_MISUSE, "the connection is closed");
    try {
        m_db->exec(istruzione.toUtf8().toStdString());
    } catch (const SQLite::Exception& e) {
        sqlite::fallisci(e);
    }
}

}  // namespace tastalo
