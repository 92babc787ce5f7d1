#pragma once

// Private to the store: a connection for commands through an OLE DB
// provider (Windows).

#include <QString>
#include <memory>

#include "store/connessione_impl.h"

namespace tastalo {

namespace oledb {
class SessioneOleDb;
}

class ConnessioneOleDb final : public Connessione::Impl {
public:
    // Opens the provider's data source and a session on it. Throws Fallimento (ProviderOleDb).
    explicit ConnessioneOleDb(const QString& stringaConnessione);
    ~ConnessioneOleDb() override;

    bool aperto() const override { return m_sessione != nullptr; }
    void chiudi() noexcept override;
    void esegui(const QString& istruzione) override;

private:
    std::unique_ptr<oledb::SessioneOleDb> m_sessione;
};

}  // namespace tastalo
