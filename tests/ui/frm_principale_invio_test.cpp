#include <gtest/gtest.h>

#include <QTest>
#include <functional>

#include "finestra_prova.h"

namespace tastalo {
namespace {

using Kind = platform::RecordingKeyboardTarget::Call::Kind;
using prova::DatabaseProva;
using prova::FinestraProva;

class FrmPrincipaleInvio : public ::testing::Test {
protected:
    FrmPrincipaleInvio() {
        db.lista(7, "Alfa", {"7001"});
        db.lista(12, "Gamma", {"1201", "1202", "1203"});
        db.configurazione.TitoloFinestra = QStringLiteral("Korvedo");
    }
    DatabaseProva db;
};

TEST_F(FrmPrincipaleInvio, ScriviSendsTheChosenListShowingProgressInTheTitleWithTheButtonDisabled) {
    FinestraProva f(db);
    f.finestra.show();
    QTest::keyClick(f.combo(), Qt::Key_End);  // 12 - Gamma
    QStringList titoli;
    std::vector<bool> pulsanteAttivo;
    f.pausa.durante = [&] {
        titoli << f.finestra.windowTitle();
        pulsanteAttivo.push_back(f.pulsante("cmdEsegui")->isEnabled());
    };

    f.pulsante("cmdEsegui")->click();

    EXPECT_EQ(f.tastiera.received(), U"1201\n1202\n1203\n");
    EXPECT_EQ(titoli, (QStringList{"Invia Dati - 1/3", "Invia Dati - 2/3", "Invia Dati - 3/3"}));
    EXPECT_EQ(pulsanteAttivo, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(f.finestra.windowTitle(), "Invia Dati");
    EXPECT_TRUE(f.pulsante("cmdEsegui")->isEnabled());
    EXPECT_EQ(f.messaggi.testi(), QStringList({"Operazione Completata."}));
}

TEST_F(FrmPrincipaleInvio, EnterOnTheComboStartsASendOfTheShownList) {
    FinestraProva f(db);
    f.finestra.show();
    f.combo()->setFocus();

    QTest::keyClick(f.combo(), Qt::Key_Return);

    EXPECT_EQ(f.tastiera.received(), U"7001\n");
}

TEST_F(FrmPrincipaleInvio, ClosingTheWindowMidSendStopsTypingWithoutAMessage) {
    FinestraProva f(db);
    f.finestra.show();
    QTest::keyClick(f.combo(), Qt::Key_End);
    f.pausa.durante = [&] { f.finestra.close(); };

    f.pulsante("cmdEsegui")->click();

    EXPECT_EQ(f.tastiera.received(), U"1201\n");
    EXPECT_EQ(f.tastiera.calls().back().kind, Kind::Finish);
    EXPECT_TRUE(f.messaggi.messaggi().empty());
    EXPECT_FALSE(f.finestra.isVisible());
}

TEST_F(FrmPrincipaleInvio, DeletingListsMidSendDoesNotChangeWhatIsTyped) {
    FinestraProva f(db);
    f.finestra.show();
    QTest::keyClick(f.combo(), Qt::Key_End);
    f.dialoghi.scelta = RispostaCancellazione::Tutte;
    bool cancellato = false;
    f.pausa.durante = [&] {
        if (cancellato) return;
        cancellato = true;
        f.pulsante("cmdCancella")->click();
    };

    f.pulsante("cmdEsegui")->click();

    EXPECT_EQ(f.tastiera.received(), U"1201\n1202\n1203\n");
    EXPECT_EQ(f.combo()->count(), 0);
}

TEST_F(FrmPrincipaleInvio, AfterAClickOnScriviEndsInAnyWayEnterSendsAgainAndNeverAsksToDelete) {
    const std::vector<std::pair<const char*, std::function<void(FinestraProva&)>>> fini = {
        {"completed", [](FinestraProva&) {}},
        {"target closed",
         [](FinestraProva& f) {
             f.tastiera.failOn(Kind::Activate, 0, platform::failure(platform::kTargetWindowMissing));
         }},
        {"focus lost", [](FinestraProva& f) { f.tastiera.loseFocusAt(0); }},
        {"typing refused",
         [](FinestraProva& f) {
             f.tastiera.failOn(Kind::Type, 0, platform::failure(platform::kInputRefused));
         }},
        {"empty list", [this](FinestraProva&) { db.esegui("delete from movimenti"); }},
    };
    for (const auto& [nome, prepara] : fini) {
        SCOPED_TRACE(nome);
        db.esegui("delete from movimenti");
        db.esegui("insert into movimenti values (7, '7001')");
        FinestraProva f(db);
        f.finestra.show();
        prepara(f);

        QTest::mouseClick(f.pulsante("cmdEsegui"), Qt::LeftButton);
        ASSERT_EQ(f.messaggi.messaggi().size(), 1u);
        QWidget* fuoco = f.finestra.focusWidget();
        ASSERT_NE(fuoco, nullptr);
        f.tempo.scatta();  // the wait after the message is over
        QTest::keyClick(fuoco, Qt::Key_Return);

        EXPECT_EQ(fuoco, f.pulsante("cmdEsegui"));
        EXPECT_TRUE(f.dialoghi.listeMostrate.isEmpty());
        EXPECT_EQ(f.messaggi.messaggi().size(), 2u) << "a second send ended with its own message";
    }
}

}  // namespace
}  // namespace tastalo
