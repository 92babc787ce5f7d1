#include "send/carica_barcode.h"

#include "core/fallimento.h"
#include "store/archivio_liste.h"
#include "store/chiusura.h"

namespace tastalo {

std::vector<QString> CaricaBarcode(const ArchivioListe& archivio, const QString& stringaConnessione,
                                   std::int32_t idLista) {
    std::unique_ptr<Recordset> risultato = archivio.queryBarcode(stringaConnessione, idLista);
    std::vector<QString> barcode;
    while (!risultato->allaFine()) {
        barcode.push_back(risultato->campo(0).comeTesto());
        if (barcode.size() > static_cast<std::size_t>(kMassimoBarcode)) throw conversione::overflow();
        risultato->avanti();
    }
    ChiudiRecordset(risultato);
    return barcode;
}

}  // namespace tastalo
