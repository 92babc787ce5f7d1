#pragma once

#include <memory>

#include "store/connessione.h"
#include "store/recordset.h"

namespace tastalo {

// Close an open result or connection and empty the caller's reference.
// Nothing happens for an empty reference; neither raises a failure.
void ChiudiRecordset(std::unique_ptr<Recordset>& recordset) noexcept;
void ChiudiConnessione(std::unique_ptr<Connessione>& connessione) noexcept;

}  // namespace tastalo
