#include "ui/modulo_list_view.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QStringList>

#include "controlli.h"
#include "store/istruzioni.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"
#include "ui/list_view.h"

namespace tastalo {
namespace {

using prova::DatabaseProva;
using prova::larghezzaAttesa;

// A report-style view like the main window's: its columns are fixed before
// filling, and their widths known.
class VistaProva : public ListView {
public:
    explicit VistaProva(const QStringList& intestazioni) : ListView(intestazioni) {
        for (int c = 0; c < intestazioni.size(); ++c) setColumnWidth(c, 77);
    }

    // What the view shows, through its model as any view reads it.
    QStringList colonna(int c) const {
        QStringList testi;
        for (int i = 0; i < model()->rowCount(); ++i) testi << model()->index(i, c).data().toString();
        return testi;
    }
    int righeMostrate() const { return model()->rowCount(); }
};

class ModuloListView : public ::testing::Test {
protected:
    std::unique_ptr<Recordset> query(const QString& sql) {
        return db.archivio.apriQuery(db.connessione(), sql);
    }
    std::unique_ptr<Recordset> barcodeDi(int idLista) { return query(istruzioni::queryBarcode(idLista)); }

    DatabaseProva db;
};

TEST_F(ModuloListView, ShowsEveryRowInOrderAndFitsTheColumnToTheWidestTextOrCaption) {
    db.lista(7, "Alfa", {"8001234567890", "WWWWWWWWWWWWWWWWWW", "12"});
    db.lista(3, "Beta", {"1"});
    VistaProva vista({"BarCode"});
    auto risultato = barcodeDi(7);

    moduloListView::MostraRecordset(*risultato, vista);

    const QStringList attese = {"8001234567890", "WWWWWWWWWWWWWWWWWW", "12"};
    EXPECT_EQ(vista.colonna(0), attese);
    EXPECT_EQ(vista.columnWidth(0), larghezzaAttesa(vista, attese + QStringList{"BarCode"}));
    EXPECT_TRUE(risultato->aperto()) << "the caller closes the result";
}

TEST_F(ModuloListView, ACaptionWiderThanEveryValueSetsTheWidth) {
    db.lista(3, "Beta", {"1", "22"});
    VistaProva vista({"BarCode"});
    auto risultato = barcodeDi(3);
    moduloListView::MostraRecordset(*risultato, vista);
    EXPECT_EQ(vista.columnWidth(0), larghezzaAttesa(vista, {"BarCode"}));
    EXPECT_GT(vista.columnWidth(0), larghezzaAttesa(vista, {"1", "22"}));
}

TEST_F(ModuloListView, NullValuesShowEmptyAndEmptyTextsWithoutCaptionsGiveTheMarginAlone) {
    db.esegui("insert into liste values (5, 'Vuoti'); insert into movimenti values (5, NULL), (5, '');");
    VistaProva vista({"BarCode"});
    auto risultato = barcodeDi(5);
    moduloListView::RiempiListView(vista, *risultato, 0);
    moduloListView::AdattaColonne(vista, false);
    EXPECT_EQ(vista.colonna(0), (QStringList{"", ""}));
    EXPECT_EQ(vista.columnWidth(0), static_cast<int>(std::lround(200.0 / 15.0)));
}

TEST_F(ModuloListView, BytesShowAsTheirTextOrAsANoteNamingTheirRowAndEveryRowShows) {
    db.esegui(
        "insert into liste values (6, 'Misti');"
        "insert into movimenti values (6, '8001'), (6, X'38303032'), (6, X'38FF'), (6, '8004');");
    VistaProva vista({"BarCode"});
    auto risultato = barcodeDi(6);
    moduloListView::MostraRecordset(*risultato, vista);
    EXPECT_EQ(vista.colonna(0),
              (QStringList{"8001", "8002", "(riga 3: dati binari, non mostrabili)", "8004"}));
    for (int riga = 0; riga < vista.righeMostrate(); ++riga) {
        EXPECT_EQ(vista.model()->index(riga, 0).data(Qt::ForegroundRole).isValid(), riga == 2)
            << "only the note is set apart, row " << riga;
    }
    EXPECT_EQ(vista.columnWidth(0), larghezzaAttesa(vista, vista.colonna(0) + QStringList{"BarCode"}));
}

TEST_F(ModuloListView, ColumnsTakeTheirFieldsByCaptionWhateverTheOrderOrCase) {
    db.lista(9, "Nove", {"AB-1", "CD-22"});
    VistaProva vista({"IDLISTA", "barcode"});
    auto risultato = query("select Barcode, idLista from movimenti order by Barcode");
    moduloListView::MostraRecordset(*risultato, vista);
    EXPECT_EQ(vista.colonna(0), (QStringList{"9", "9"}));
    EXPECT_EQ(vista.colonna(1), (QStringList{"AB-1", "CD-22"}));
    EXPECT_EQ(vista.columnWidth(0), larghezzaAttesa(vista, {"9", "9", "IDLISTA"}));
    EXPECT_EQ(vista.columnWidth(1), larghezzaAttesa(vista, {"AB-1", "CD-22", "barcode"}));
}

TEST_F(ModuloListView, RowLimitStopsAfterThatManyRowsAndZeroOrLessMeansAll) {
    db.lista(1, "Cinque", {"a", "b", "c", "d", "e"});
    for (const auto& [limite, attese] :
         std::vector<std::pair<int, QStringList>>{{2, {"a", "b"}},
                                                  {0, {"a", "b", "c", "d", "e"}},
                                                  {-1, {"a", "b", "c", "d", "e"}},
                                                  {9, {"a", "b", "c", "d", "e"}}}) {
        VistaProva vista({"BarCode"});
        auto risultato = barcodeDi(1);
        moduloListView::RiempiListView(vista, *risultato, limite);
        EXPECT_EQ(vista.colonna(0), attese) << "limit " << limite;
    }
}

TEST_F(ModuloListView, FillingAppendsSoTwiceWithoutEmptyingShowsEveryRowTwice) {
    db.lista(1, "Due", {"x", "y"});
    VistaProva vista({"BarCode"});
    auto risultato = barcodeDi(1);
    moduloListView::RiempiListView(vista, *risultato, 0);
    moduloListView::RiempiListView(vista, *risultato, 0);
    EXPECT_EQ(vista.colonna(0), (QStringList{"x", "y", "x", "y"}));
}

TEST_F(ModuloListView, AViewWithoutColumnsGetsNothingAndTheResultStaysWhereItWas) {
    db.lista(1, "Tre", {"p", "q", "r"});
    VistaProva vista({});
    auto risultato = barcodeDi(1);
    risultato->avanti();
    moduloListView::MostraRecordset(*risultato, vista);
    EXPECT_EQ(vista.righeMostrate(), 0);
    EXPECT_EQ(risultato->campo(0).comeTesto(), "q");
}

TEST_F(ModuloListView, FittingAViewWithoutRowsKeepsItsWidths) {
    VistaProva vista({"BarCode"});
    moduloListView::AdattaColonne(vista, true);
    EXPECT_EQ(vista.columnWidth(0), 77);
}

TEST_F(ModuloListView, ACaptionNamingNoFieldFailsAndAddsNoRow) {
    db.lista(1, "Uno", {"z"});
    VistaProva vista({"BarCode", "Prezzo"});
    auto risultato = barcodeDi(1);
    EXPECT_THAT([&] { moduloListView::MostraRecordset(*risultato, vista); },
                prova::fallisce(OrigineFallimento::Database, ::testing::_, ::testing::HasSubstr("Prezzo")));
    EXPECT_EQ(vista.righeMostrate(), 0);
    EXPECT_EQ(vista.columnWidth(0), 77);
}

TEST_F(ModuloListView, TextsBeyondPlainAsciiAndLongListsFitExactly) {
    std::vector<QString> barcode;
    for (int i = 0; i < 3000; ++i) barcode.push_back(QString::number(8000000000000LL + i * 37));
    barcode.push_back(QStringLiteral("ÀÉÎÕÜ-") + QChar(0x20AC));
    barcode.push_back(QStringLiteral("AVAVAVAV"));
    db.lista(4, "Lunga", barcode);
    VistaProva vista({"BarCode"});
    auto risultato = barcodeDi(4);
    moduloListView::MostraRecordset(*risultato, vista);
    ASSERT_EQ(vista.righeMostrate(), 3002);
    EXPECT_EQ(vista.columnWidth(0), larghezzaAttesa(vista, vista.colonna(0) + QStringList{"BarCode"}));
}

}  // namespace
}  // namespace tastalo
