#include "store/elenco_liste.h"

#include <QDir>
#include <QFileInfo>

#include "core/avvisi.h"
#include "store/archivio_liste.h"
#include "store/chiusura.h"

namespace tastalo {

std::vector<VoceLista> leggiListe(const ArchivioListe& archivio, const QString& stringaConnessione) {
    std::unique_ptr<Recordset> risultato = archivio.queryListe(stringaConnessione);
    std::vector<VoceLista> voci;
    while (!risultato->allaFine()) {
        VoceLista voce;
        voce.testo = risultato->campo(0).comeTestoVisibile() + QStringLiteral(" - ") +
                     risultato->campo(1).comeTestoVisibile();
        voce.id = risultato->campo(0).comeIntero32();
        voci.push_back(std::move(voce));
        risultato->avanti();
    }
    ChiudiRecordset(risultato);
    return voci;
}

std::optional<QString> motivoFileAssente(const QString& percorso) {
    if (percorso.isEmpty()) return avvisi::kNessunDatabase;
    const QFileInfo info(percorso);
    const QString nome = QDir::toNativeSeparators(percorso);
    if (!info.exists()) return avvisi::fileInesistente(nome);
    if (info.isDir()) return avvisi::cartellaNonFile(nome);
    if (!info.isFile()) return avvisi::fileNonNormale(nome);
    return std::nullopt;
}

}  // namespace tastalo
