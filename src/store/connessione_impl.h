#pragma once

// Private to the store: what a connection for commands needs of the file
// format behind it.

#include <QString>

#include "store/connessione.h"

namespace tastalo {

struct Connessione::Impl {
    virtual ~Impl() = default;

    virtual bool aperto() const = 0;
    virtual void chiudi() noexcept = 0;
    virtual void esegui(const QString& istruzione) = 0;
};

}  // namespace tastalo
