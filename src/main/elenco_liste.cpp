#include "main/elenco_liste.h"

#include <QFileInfo>

#include "store/archivio_liste.h"

namespace tastalo {

std::vector<VoceLista> leggiListe(const ArchivioListe& archivio, const QString& stringaConnessione) {
    std::unique_ptr<Recordset> risultato =
        archivio.apriQuery(stringaConnessione, istruzioni::queryListe());
    std::vector<VoceLista> voci;
    while (!risultato->atEnd()) {
        VoceLista voce;
        voce.testo = risultato->field(0).comeTestoVisibile() + QStringLiteral(" - ") +
                     risultato->field(1).comeTestoVisibile();
        voce.id = risultato->field(0).comeIntero32();
        voci.push_back(std::move(voce));
        risultato->moveNext();
    }
    ChiudiRecordset(risultato);
    return voci;
}

bool esisteFile(const QString& percorso) {
    if (percorso.isEmpty()) return false;
    const QFileInfo info(percorso);
    return info.exists() && info.isFile();
}

}  // namespace tastalo
