#include "ui/cancella_liste.h"

#include "core/avvisi.h"
#include "core/messaggi.h"
#include "store/archivio_liste.h"
#include "store/compact/fallimento_compact.h"
#include "ui/messaggio_fallimento.h"

namespace tastalo {

void CancellaListe(const ArchivioListe& archivio, const QString& stringaConnessione, Messaggi& messaggi,
                   std::optional<std::int32_t> idLista) {
    try {
        if (idLista) {
            archivio.cancellaLista(stringaConnessione, *idLista);
        } else {
            archivio.cancellaTutte(stringaConnessione);
        }
    } catch (const Fallimento& fallimento) {
        if (fallimento.origine() == OrigineFallimento::FileCompact &&
            fallimento.codice() == compact::kSolaLettura) {
            messaggi.informazione(avvisi::kCompactNonCancellabile);
        } else {
            messaggi.errore(codiceTrattinoDescrizione(fallimento));
        }
    }
}

}  // namespace tastalo
