#include "ui/frm_cancella.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

namespace tastalo {
namespace {

QPushButton* pulsante(const frmCancella& dialogo, const char* nome) {
    return dialogo.findChild<QPushButton*>(QString::fromLatin1(nome));
}

// Shows the dialog, lets the operator act, and gives CosaFare once it has closed.
RispostaCancellazione rispostaDopo(frmCancella& dialogo, const std::function<void()>& operatore) {
    dialogo.show();
    EXPECT_TRUE(dialogo.isVisible());
    operatore();
    EXPECT_FALSE(dialogo.isVisible()) << "the dialog is still open";
    return dialogo.CosaFare();
}

TEST(FrmCancella, EachShowingOpensOnTheSingleListChoiceCaptionedWithLista) {
    frmCancella dialogo;
    dialogo.impostaLista("7 - Alfa");
    dialogo.show();
    EXPECT_EQ(dialogo.optCancella(0)->text(), "7 - Alfa");
    EXPECT_TRUE(dialogo.optCancella(0)->isChecked());
    dialogo.optCancella(1)->setChecked(true);
    pulsante(dialogo, "cmdOk")->click();
    ASSERT_EQ(dialogo.CosaFare(), RispostaCancellazione::Tutte);

    dialogo.impostaLista("12 - Gamma");
    dialogo.show();
    EXPECT_EQ(dialogo.optCancella(0)->text(), "12 - Gamma");
    EXPECT_TRUE(dialogo.optCancella(0)->isChecked());
    EXPECT_FALSE(dialogo.optCancella(1)->isChecked());
    EXPECT_EQ(dialogo.focusWidget(), dialogo.optCancella(0));
    dialogo.close();
}

TEST(FrmCancella, OkGivesTheChosenListOrAll) {
    frmCancella dialogo;
    EXPECT_EQ(rispostaDopo(dialogo, [&] { pulsante(dialogo, "cmdOk")->click(); }),
              RispostaCancellazione::Selezionata);
    EXPECT_EQ(rispostaDopo(dialogo,
                           [&] {
                               dialogo.optCancella(1)->click();
                               pulsante(dialogo, "cmdOk")->click();
                           }),
              RispostaCancellazione::Tutte);
    // Enter on an option button presses the default button.
    EXPECT_EQ(rispostaDopo(dialogo,
                           [&] {
                               dialogo.optCancella(1)->click();
                               QTest::keyClick(dialogo.optCancella(1), Qt::Key_Return);
                           }),
              RispostaCancellazione::Tutte);
}

TEST(FrmCancella, EveryWayOutBesidesOkGivesAnnullaEvenAfterAnEarlierOk) {
    const std::vector<std::pair<const char*, std::function<void(frmCancella&)>>> uscite = {
        {"Annulla", [](frmCancella& d) { pulsante(d, "cmdAnnulla")->click(); }},
        {"Escape", [](frmCancella& d) { QTest::keyClick(d.optCancella(0), Qt::Key_Escape); }},
        {"Enter on Annulla",
         [](frmCancella& d) {
             pulsante(d, "cmdAnnulla")->setFocus();
             QTest::keyClick(pulsante(d, "cmdAnnulla"), Qt::Key_Return);
         }},
        {"close box", [](frmCancella& d) { d.close(); }},
    };
    for (const auto& [nome, esci] : uscite) {
        frmCancella dialogo;
        ASSERT_EQ(rispostaDopo(dialogo, [&] { pulsante(dialogo, "cmdOk")->click(); }),
                  RispostaCancellazione::Selezionata);
        EXPECT_EQ(rispostaDopo(dialogo, [&, &esci = esci] { esci(dialogo); }), RispostaCancellazione::Annulla)
            << nome;
    }
}

}  // namespace
}  // namespace tastalo
