#include "support/compact/liste_compact.h"

namespace tastalo::prova::compact {

std::vector<TabellaScritta> databaseListe(const std::vector<ListaScritta>& liste) {
    TabellaScritta tabellaListe{
        "liste", {{"idLista", tipo::kInt, 0, false}, {"lista", tipo::kNvarchar, 200}}, {}};
    TabellaScritta movimenti{
        "movimenti",
        {{"idMovimento", tipo::kInt, 0, false}, {"idLista", tipo::kInt}, {"Barcode", tipo::kNvarchar, 200}},
        {}};
    std::int64_t idMovimento = 0;
    for (const ListaScritta& lista : liste) {
        tabellaListe.righe.push_back({std::int64_t{lista.idLista}, lista.nome});
        for (const std::u16string& barcode : lista.barcode) {
            movimenti.righe.push_back({++idMovimento, std::int64_t{lista.idLista}, barcode});
        }
    }
    return {tabellaListe, movimenti};
}

}  // namespace tastalo::prova::compact
