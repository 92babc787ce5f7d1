#include "store/connessione.h"

#include "store/connessione_impl.h"

namespace tastalo {

Connessione::Connessione(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Connessione::~Connessione() = default;

bool Connessione::aperto() const { return m_impl->aperto(); }

void Connessione::chiudi() noexcept { m_impl->chiudi(); }

void Connessione::esegui(const QString& istruzione) { m_impl->esegui(istruzione); }

}  // namespace tastalo
