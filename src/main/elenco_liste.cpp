#include "main/elenco_liste.h"

#include <QDir>
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

std::optional<QString> motivoFileAssente(const QString& percorso) {
    if (percorso.isEmpty()) return QStringLiteral("Nessun file di database indicato.");
    const QFileInfo info(percorso);
    const QString nome = QDir::toNativeSeparators(percorso);
    if (!info.exists()) return QStringLiteral("Il file %1 non esiste.").arg(nome);
    if (info.isDir()) return QStringLiteral("%1 è una cartella, non un file.").arg(nome);
    if (!info.isFile()) return QStringLiteral("%1 non è un file normale.").arg(nome);
    return std::nullopt;
}

}  // namespace tastalo
