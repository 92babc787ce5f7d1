#include "store/recordset_sqlite.h"

#include "store/sqlite_apertura.h"
#include "store/sqlite_fallimento.h"

namespace tastalo {

RecordsetSqlite::RecordsetSqlite(const QString& percorso, int attesaMs, const QString& istruzione)
    : m_db(sqlite::apri(percorso, SQLite::OPEN_READONLY, attesaMs)) {
    const QByteArray testo = istruzione.toUtf8();
    sqlite3_stmt* s = nullptr;
    const int codice =
        sqlite3_prepare_v2(m_db->getHandle(), testo.constData(), static_cast<int>(testo.size()), &s, nullptr);
    m_istruzione.reset(s);
    if (codice != SQLITE_OK) sqlite::fallisci(m_db->getHandle(), codice);
    if (!m_istruzione) sqlite::fallisci(SQLITE_ERROR, "the statement is empty");

    const int colonne = sqlite3_column_count(s);
    m_nomi.reserve(static_cast<std::size_t>(colonne));
    for (int i = 0; i < colonne; ++i) m_nomi.push_back(QString::fromUtf8(sqlite3_column_name(s, i)));
    passo();
}

void RecordsetSqlite::passo() {
    const int codice = sqlite3_step(m_istruzione.get());
    if (codice == SQLITE_ROW) {
        m_riga = true;
        return;
    }
    m_riga = false;
    if (codice != SQLITE_DONE) sqlite::fallisci(m_db->getHandle(), codice);
}

void RecordsetSqlite::primo() {
    // reset() repeats the error of a failed step, which was reported then.
    sqlite3_reset(m_istruzione.get());
    passo();
}

Valore RecordsetSqlite::valore(int posizione) const {
    sqlite3_stmt* s = m_istruzione.get();
    switch (sqlite3_column_type(s, posizione)) {
        case SQLITE_NULL: return {};
        case SQLITE_INTEGER: return Valore::intero(sqlite3_column_int64(s, posizione));
        case SQLITE_FLOAT: return Valore::reale(sqlite3_column_double(s, posizione));
        case SQLITE_TEXT: {
            // The text pointer first, then its length in bytes, as SQLite asks.
            const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(s, posizione));
            const int byte = sqlite3_column_bytes(s, posizione);
            return Valore::testo(QString::fromUtf8(utf8, byte));
        }
        default: {
            // The blob pointer first, then its length, as for text.
            const auto* byte = static_cast<const char*>(sqlite3_column_blob(s, posizione));
            return Valore::binario(QByteArray(byte, sqlite3_column_bytes(s, posizione)));
        }
    }
}

void RecordsetSqlite::chiudi() noexcept {
    m_istruzione.reset();
    m_db.reset();
    m_riga = false;
}

}  // namespace tastalo
