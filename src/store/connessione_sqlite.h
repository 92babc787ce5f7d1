#pragma once

// Private to the store: a read-write connection to an SQLite file.

#include <SQLiteCpp/Database.h>

#include <QString>
#include <memory>

#include "store/connessione_impl.h"

namespace tastalo {

class ConnessioneSqlite final : public Connessione::Impl {
public:
    // Opens the file read-write with foreign-key rules enforced.
    ConnessioneSqlite(const QString& percorso, int attesaMs);

    bool aperto() const override { return m_db != nullptr; }
    void chiudi() noexcept override { m_db.reset(); }
    void esegui(const QString& istruzione) override;

private:
    std::unique_ptr<SQLite::Database> m_db;
};

}  // namespace tastalo
