#pragma once

// Private to the store: what a query result needs of the file format behind
// it. Recordset checks the caller's use (open, current row, field range)
// before it asks.

#include <QString>
#include <vector>

#include "store/recordset.h"

namespace tastalo {

struct Recordset::Impl {
    virtual ~Impl() = default;

    virtual bool aperto() const = 0;
    virtual void chiudi() noexcept = 0;
    // True while there is a current row.
    virtual bool riga() const = 0;
    virtual void avanti() = 0;
    // Reads the rows again, as they are in the file now, from the first.
    virtual void primo() = 0;
    virtual const std::vector<QString>& nomi() const = 0;
    virtual Valore valore(int posizione) const = 0;

    // The last name looked up: readers ask for the same field on every row.
    QString ultimoNome;
    int ultimaPosizione = -1;
};

}  // namespace tastalo
