#include "ui/cancella_liste.h"

#include "core/messaggi.h"
#include "store/archivio_liste.h"
#include "ui/messaggio_fallimento.h"

namespace tastalo {

void CancellaListe(const ArchivioListe& archivio, const QString& stringaConnessione, Messaggi& messaggi,
                   const QString& idListaTesto, bool tutte) {
    std::unique_ptr<Connessione> connessione;
    try {
        const QString istruzione =
            tutte ? istruzioni::cancellaTutte() : istruzioni::cancellaUna(idListaTesto);
        connessione = archivio.apriConnessione(stringaConnessione);
        connessione->esegui(istruzione);
        ChiudiConnessione(connessione);
    } catch (const Fallimento& fallimento) {
        // Closed before the box, so a modal wait holds no write lock on the file.
        ChiudiConnessione(connessione);
        messaggi.errore(codiceTrattinoDescrizione(fallimento));
    }
}

}  // namespace tastalo
