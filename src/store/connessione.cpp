#include "store/connessione.h"

#include "store/sqlite_impl.h"

namespace tastalo {

Connessione::Impl::Impl(const QString& percorso, int attesaMs)
    : db(sqlite::apri(percorso, SQLite::OPEN_READWRITE, attesaMs)) {
    // The file's own rules (ON DELETE CASCADE, or a reference that forbids
    // the delete) apply only with foreign keys on, and SQLite starts with
    // them off on every connection.
    try {
        db->exec("PRAGMA foreign_keys = ON");
    } catch (const SQLite::Exception& e) {
        sqlite::fallisci(e);
    }
}

Connessione::Connessione(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Connessione::~Connessione() = default;

bool Connessione::aperto() const { return m_impl->db != nullptr; }

void Connessione::chiudi() noexcept { m_impl->db.reset(); }

void Connessione::esegui(const QString& istruzione) {
    if (!m_impl->db) sqlite::fallisci(SQLITE_MISUSE, "the connection is closed");
    try {
        m_impl->db->exec(istruzione.toUtf8().toStdString());
    } catch (const SQLite::Exception& e) {
        sqlite::fallisci(e);
    }
}

}  // namespace tastalo
