#pragma once

#include <QString>
#include <memory>

namespace tastalo {

// A read-write connection for commands. Opened by ArchivioListe.
class Connessione {
public:
    ~Connessione();
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    bool aperto() const;
    void chiudi() noexcept;
    // Runs one statement; the count of affected rows is not asked for.
    void esegui(const QString& istruzione);

    // The format behind a connection: private to the store.
    struct Impl;

private:
    friend class ArchivioListe;
    explicit Connessione(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tastalo
