#include "store/archivio_liste.h"

#include <QDir>
#include <limits>

#include "core/fallimento.h"
#include "store/chiusura.h"
#include "store/compact/fallimento_compact.h"
#include "store/connessione_sqlite.h"
#include "store/formato_file.h"
#include "store/istruzioni.h"
#include "store/liste_compact.h"
#include "store/provider_compact.h"
#include "store/recordset_compact.h"
#include "store/recordset_sqlite.h"
#include "store/stringa_connessione.h"

namespace tastalo {

namespace {
int millisecondi(std::chrono::milliseconds attesa) {
    const auto ms = attesa.count();
    if (ms < 0) return 0;
    if (ms > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(ms);
}
}  // namespace

ArchivioListe::ArchivioListe(std::chrono::milliseconds attesaSeBloccato)
    : m_attesaSeBloccato(attesaSeBloccato) {}

std::unique_ptr<Recordset> ArchivioListe::apriQuery(const QString& stringaConnessione,
                                                    const QString& istruzione) const {
    return std::make_unique<Recordset>(std::make_unique<RecordsetSqlite>(
        percorsoDaStringaConnessione(stringaConnessione), millisecondi(m_attesaSeBloccato), istruzione));
}

std::unique_ptr<Connessione> ArchivioListe::apriConnessione(const QString& stringaConnessione) const {
    auto impl = std::make_unique<ConnessioneSqlite>(percorsoDaStringaConnessione(stringaConnessione),
                                                    millisecondi(m_attesaSeBloccato));
    return std::unique_ptr<Connessione>(new Connessione(std::move(impl)));
}

namespace {

bool inFormatoCompact(const QString& percorso) { return riconosciFormato(percorso) == FormatoFile::Compact; }

// A Compact file goes to the engine's own provider where it is installed,
// which reads every file the engine reads; to the reader otherwise.
std::unique_ptr<Recordset> queryCompact(const QString& stringaConnessione, const QString& istruzione,
                                        RecordsetCompact::Lettura lettura) {
    if (provider_compact::disponibile(stringaConnessione)) {
        return std::make_unique<Recordset>(provider_compact::query(stringaConnessione, istruzione));
    }
    const QString percorso = percorsoDaStringaConnessione(stringaConnessione);
    return std::make_unique<Recordset>(std::make_unique<RecordsetCompact>(
        std::filesystem::path(percorso.toStdU16String()), std::move(lettura)));
}

[[noreturn]] void nonCancellabile(const QString& percorso) {
    throw compact::fallimento(compact::kSolaLettura, "il file " +
                                                         QDir::toNativeSeparators(percorso).toStdString() +
                                                         " è in formato SQL Server Compact, che Tastalo "
                                                         "legge soltanto");
}

}  // namespace

std::unique_ptr<Recordset> ArchivioListe::queryListe(const QString& stringaConnessione) const {
    if (inFormatoCompact(percorsoDaStringaConnessione(stringaConnessione))) {
        return queryCompact(stringaConnessione, istruzioni::queryListe(), compact_liste::liste());
    }
    return apriQuery(stringaConnessione, istruzioni::queryListe());
}

std::unique_ptr<Recordset> ArchivioListe::queryBarcode(const QString& stringaConnessione,
                                                       std::int32_t idLista) const {
    if (inFormatoCompact(percorsoDaStringaConnessione(stringaConnessione))) {
        return queryCompact(stringaConnessione, istruzioni::queryBarcode(idLista),
                            compact_liste::barcode(idLista));
    }
    return apriQuery(stringaConnessione, istruzioni::queryBarcode(idLista));
}

void ArchivioListe::cancellaLista(const QString& stringaConnessione, std::int32_t idLista) const {
    esegui(stringaConnessione, istruzioni::cancellaUna(idLista));
}

void ArchivioListe::cancellaTutte(const QString& stringaConnessione) const {
    esegui(stringaConnessione, istruzioni::cancellaTutte());
}

void ArchivioListe::esegui(const QString& stringaConnessione, const QString& istruzione) const {
    const QString percorso = percorsoDaStringaConnessione(stringaConnessione);
    // Closed on the way out, failure or not: nothing holds the file afterwards.
    std::unique_ptr<Connessione> connessione;
    if (!inFormatoCompact(percorso)) {
        connessione = apriConnessione(stringaConnessione);
    } else if (provider_compact::disponibile(stringaConnessione)) {
        connessione.reset(new Connessione(provider_compact::connessione(stringaConnessione)));
    } else {
        nonCancellabile(percorso);
    }
    connessione->esegui(istruzione);
    ChiudiConnessione(connessione);
}

}  // namespace tastalo
