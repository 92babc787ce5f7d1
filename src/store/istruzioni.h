#pragma once

#include <QString>
#include <cstdint>

namespace tastalo {

// The statements the program issues, with their exact texts.
namespace istruzioni {
QString queryListe();                        // "select * from liste order by lista"
QString queryBarcode(std::int32_t idLista);  // "Select Barcode from movimenti where idLista=7"
QString cancellaTutte();                     // "delete from liste"
// "delete from liste where idLista='7';". The id text must be a decimal
// integer (a leading minus allowed); anything else fails with 13 "Tipo non
// corrispondente" before a statement exists.
QString cancellaUna(const QString& idListaTesto);
QString cancellaUna(std::int32_t idLista);
}  // namespace istruzioni

}  // namespace tastalo
