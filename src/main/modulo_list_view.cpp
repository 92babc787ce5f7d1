#include "main/modulo_list_view.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <vector>

#include "common/failure.h"
#include "common/twips.h"
#include "main/larghezza_massima.h"
#include "store/recordset.h"

namespace tastalo::moduloListView {
namespace {

// Where each column's field sits in the result, by header caption.
std::vector<int> posizioniDeiCampi(const QTreeWidget& lista, const Recordset& risultato) {
    const QTreeWidgetItem* intestazione = lista.headerItem();
    std::vector<int> posizioni;
    for (int colonna = 0; colonna < lista.columnCount(); ++colonna) {
        const QString nome = intestazione->text(colonna);
        const int posizione = risultato.fieldIndex(nome);
        if (posizione < 0) {
            // SQLite's own words for a name that is no column of the result.
            throw Failure(FailureSource::Database, 1, "no such column: " + nome.toStdString());
        }
        posizioni.push_back(posizione);
    }
    return posizioni;
}

double larghezzaInTwips(double pixel) { return pixelsToTwips(pixel) + kMargineTwips; }

}  // namespace

void MostraRecordset(Recordset& risultato, QTreeWidget& lista) {
    RiempiListView(lista, risultato, 0);
    AdattaColonne(lista, true);
}

void RiempiListView(QTreeWidget& lista, Recordset& risultato, std::int32_t limite) {
    if (lista.columnCount() == 0) return;
    risultato.moveFirst();
    std::vector<int> posizioni;
    QList<QTreeWidgetItem*> righe;
    try {
        std::int64_t conteggio = 0;
        while (!risultato.atEnd()) {
            if (posizioni.empty()) posizioni = posizioniDeiCampi(lista, risultato);
            ++conteggio;
            auto riga = std::make_unique<QTreeWidgetItem>();
            for (int colonna = 0; colonna < static_cast<int>(posizioni.size()); ++colonna) {
                riga->setText(colonna, risultato.field(posizioni[static_cast<std::size_t>(colonna)])
                                           .comeTestoVisibile());
            }
            righe.append(riga.get());
            riga.release();
            if (conteggio == limite) break;
            risultato.moveNext();
        }
    } catch (...) {
        qDeleteAll(righe);
        throw;
    }
    // One insertion for the whole batch: the view hears of it once, not per row.
    lista.addTopLevelItems(righe);
}

void AdattaColonne(QTreeWidget& lista, bool intestazioni) {
    const int righe = lista.topLevelItemCount();
    if (righe == 0) return;
    const QFont font = lista.font();
    for (int colonna = 0; colonna < lista.columnCount(); ++colonna) {
        double massima = 0;
        if (intestazioni) {
            const QFontMetricsF metriche(font, &lista);
            massima = larghezzaInTwips(metriche.horizontalAdvance(lista.headerItem()->text(colonna)));
        }
        LarghezzaMassima testi(font, &lista);
        for (int riga = 0; riga < righe; ++riga) testi.considera(lista.topLevelItem(riga)->text(colonna));
        massima = std::max(massima, larghezzaInTwips(testi.valore()));
        const int pixel = twipsToPixels(massima);
        // The header would otherwise widen a narrow column to its style's minimum.
        if (lista.header()->minimumSectionSize() > pixel) lista.header()->setMinimumSectionSize(pixel);
        lista.setColumnWidth(colonna, pixel);
    }
}

}  // namespace tastalo::moduloListView
