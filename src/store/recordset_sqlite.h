#pragma once

// Private to the store: a query result read from an SQLite file.

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <QString>
#include <memory>
#include <vector>

#include "store/recordset_impl.h"

namespace tastalo {

namespace sqlite {
// A prepared statement, finalized when it goes.
struct FinalizzaIstruzione {
    void operator()(sqlite3_stmt* s) const noexcept { sqlite3_finalize(s); }
};
using IstruzionePreparata = std::unique_ptr<sqlite3_stmt, FinalizzaIstruzione>;
}  // namespace sqlite

// A query on an SQLite file: the statement as given, stepped row by row.
class RecordsetSqlite final : public Recordset::Impl {
public:
    // Opens the file read-only, prepares the query and stands on its first row.
    RecordsetSqlite(const QString& percorso, int attesaMs, const QString& istruzione);

    bool aperto() const override { return m_istruzione != nullptr; }
    void chiudi() noexcept override;
    bool riga() const override { return m_riga; }
    void avanti() override { passo(); }
    void primo() override;
    const std::vector<QString>& nomi() const override { return m_nomi; }
    Valore valore(int posizione) const override;

private:
    void passo();

    // Declared before the statement so that the statement is finalized first.
    std::unique_ptr<SQLite::Database> m_db;
    sqlite::IstruzionePreparata m_istruzione;
    bool m_riga = false;
    std::vector<QString> m_nomi;
};

}  // namespace tastalo
