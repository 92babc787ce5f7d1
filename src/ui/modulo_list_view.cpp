#include "ui/modulo_list_view.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <algorithm>
#include <memory>
#include <vector>

#include "core/avvisi.h"
#include "core/fallimento.h"
#include "store/recordset.h"
#include "ui/blocco_righe.h"
#include "ui/larghezza_massima.h"
#include "ui/list_view.h"
#include "ui/twips.h"

namespace tastalo::moduloListView {
namespace {

// Where each column's field sits in the result, by header caption.
std::vector<int> posizioniDeiCampi(const QStringList& intestazioni, const Recordset& risultato) {
    std::vector<int> posizioni;
    for (const QString& nome : intestazioni) {
        const int posizione = risultato.indiceCampo(nome);
        if (posizione < 0) {
            // SQLite's own words for a name that is no column of the result.
            throw Fallimento(OrigineFallimento::Database, 1, "no such column: " + nome.toStdString());
        }
        posizioni.push_back(posizione);
    }
    return posizioni;
}

double larghezzaInTwips(double pixel) { return pixelInTwips(pixel) + kMargineTwips; }

}  // namespace

void MostraRecordset(Recordset& risultato, ListView& lista) {
    RiempiListView(lista, risultato, 0);
    AdattaColonne(lista, true);
}

void RiempiListView(ListView& lista, Recordset& risultato, std::int32_t limite) {
    RigheListView& righe = lista.righe();
    if (righe.colonne() == 0) return;
    risultato.primo();
    std::vector<int> posizioni;
    BloccoRighe blocco(righe.colonne());
    std::int64_t conteggio = 0;
    while (!risultato.allaFine()) {
        if (posizioni.empty()) posizioni = posizioniDeiCampi(righe.intestazioni(), risultato);
        ++conteggio;
        for (int posizione : posizioni) {
            // A value with no text still takes its place, saying which row it is.
            if (const auto testo = risultato.campo(posizione).testoVisibile()) {
                blocco.aggiungiCella(*testo);
            } else {
                blocco.aggiungiNota(avvisi::valoreNonMostrabile(conteggio));
            }
        }
        if (conteggio == limite) break;
        risultato.avanti();
    }
    // One insertion for the whole batch: the view hears of it once, not per row.
    righe.aggiungi(std::move(blocco));
}

void AdattaColonne(ListView& lista, bool intestazioni) {
    const RigheListView& righe = lista.righe();
    const int quante = righe.righe();
    if (quante == 0) return;
    const QFont font = lista.font();
    for (int colonna = 0; colonna < righe.colonne(); ++colonna) {
        double massima = 0;
        if (intestazioni) {
            const QFontMetricsF metriche(font, &lista);
            massima = larghezzaInTwips(metriche.horizontalAdvance(righe.intestazioni()[colonna]));
        }
        LarghezzaMassima testi(font, &lista);
        for (int riga = 0; riga < quante; ++riga) testi.considera(righe.testo(riga, colonna));
        massima = std::max(massima, larghezzaInTwips(testi.valore()));
        const int pixel = twipsInPixel(massima);
        // The header would otherwise widen a narrow column to its style's minimum.
        if (lista.header()->minimumSectionSize() > pixel) lista.header()->setMinimumSectionSize(pixel);
        lista.setColumnWidth(colonna, pixel);
    }
}

}  // namespace tastalo::moduloListView
