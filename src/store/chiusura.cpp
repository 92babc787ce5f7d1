#include "store/chiusura.h"

namespace tastalo {

void ChiudiRecordset(std::unique_ptr<Recordset>& recordset) noexcept {
    if (!recordset) return;
    if (recordset->aperto()) recordset->chiudi();
    recordset.reset();
}

void ChiudiConnessione(std::unique_ptr<Connessione>& connessione) noexcept {
    if (!connessione) return;
    if (connessione->aperto()) connessione->chiudi();
    connessione.reset();
}

}  // namespace tastalo
