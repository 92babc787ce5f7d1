#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/compact/scrittore_compact.h"

// The list database as barcode collectors keep it in a Compact file:
// liste(idLista int, lista nvarchar(100)) and
// movimenti(idMovimento int, idLista int, Barcode nvarchar(100)).
namespace tastalo::prova::compact {

struct ListaScritta {
    std::int32_t idLista = 0;
    std::u16string nome;
    std::vector<std::u16string> barcode;
};

// Both tables; movimenti numbered from 1 in the order of the lists and
// their barcodes.
std::vector<TabellaScritta> databaseListe(const std::vector<ListaScritta>& liste);

}  // namespace tastalo::prova::compact
