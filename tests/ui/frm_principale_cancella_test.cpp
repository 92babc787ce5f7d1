#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "finestra_prova.h"

namespace tastalo {
namespace {

using prova::DatabaseProva;
using prova::FakeMessaggi;
using prova::FinestraProva;

std::vector<std::int64_t> ids(std::initializer_list<std::int64_t> valori) { return valori; }

class CancellazioneDallaFinestra : public ::testing::Test {
protected:
    CancellazioneDallaFinestra() {
        db.lista(7, "Alfa", {"7001"});
        db.lista(3, "Beta", {"3001", "3002"});
        db.lista(12, "Gamma", {"1201"});
        f.finestra.show();
    }
    void cancella(RispostaCancellazione scelta) {
        f.dialoghi.scelta = scelta;
        f.pulsante("cmdCancella")->click();
    }

    DatabaseProva db;
    FinestraProva f{db};
};

TEST_F(CancellazioneDallaFinestra, TheSelectedListGoesAndTheComboIsRefilledOnTheFirstRemaining) {
    QTest::keyClick(f.combo(), Qt::Key_Down);
    ASSERT_EQ(f.combo()->currentText(), "3 - Beta");
    cancella(RispostaCancellazione::Selezionata);
    EXPECT_EQ(f.dialoghi.listeMostrate, (QStringList{"3 - Beta"}));
    EXPECT_EQ(db.idListe(), ids({7, 12}));
    EXPECT_EQ(f.voci(), (QStringList{"7 - Alfa", "12 - Gamma"}));
    EXPECT_EQ(f.combo()->currentIndex(), 0);
    EXPECT_EQ(f.righe(), (QStringList{"7001"}));
    EXPECT_TRUE(f.messaggi.messaggi().empty());
}

TEST_F(CancellazioneDallaFinestra, AllListsGoAndTheWindowEmptiesWithoutAMessage) {
    cancella(RispostaCancellazione::Tutte);
    EXPECT_TRUE(db.idListe().empty());
    EXPECT_EQ(f.combo()->count(), 0);
    EXPECT_TRUE(f.righe().isEmpty());
    EXPECT_TRUE(f.messaggi.messaggi().empty());
}

TEST_F(CancellazioneDallaFinestra, AnyOtherAnswerDeletesNothingAndDoesNotReload) {
    QTest::keyClick(f.combo(), Qt::Key_End);
    db.lista(1, "Aaa");
    // The answer of a showing left without Ok, and values no showing gives.
    for (const int scelta : {2, 5, -1}) {
        cancella(static_cast<RispostaCancellazione>(scelta));
        EXPECT_EQ(db.idListe(), ids({1, 3, 7, 12})) << scelta;
        EXPECT_EQ(f.combo()->currentText(), "12 - Gamma") << scelta;
        EXPECT_EQ(f.combo()->count(), 3) << scelta;
        EXPECT_EQ(f.righe(), (QStringList{"1201"})) << scelta;
    }
    EXPECT_TRUE(f.messaggi.messaggi().empty());
}

TEST_F(CancellazioneDallaFinestra, AFailureIsToldThenTheReloadTellsTheFileIsMissing) {
    ASSERT_TRUE(QFile::remove(db.percorso()));
    cancella(RispostaCancellazione::Selezionata);
    ASSERT_EQ(f.messaggi.messaggi().size(), 2u);
    EXPECT_EQ(f.messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    EXPECT_EQ(f.messaggi.messaggi()[0].testo, "14 - unable to open database file");
    EXPECT_EQ(f.messaggi.messaggi()[1].icona, FakeMessaggi::Icona::Informazione);
    EXPECT_EQ(f.messaggi.messaggi()[1].testo, "Non ci sono liste da elaborare.\nIl file " +
                                                  QDir::toNativeSeparators(db.percorso()) + " non esiste.");
    EXPECT_EQ(f.combo()->count(), 0);
    EXPECT_FALSE(QFile::exists(db.percorso()));
}

TEST(CancellazioneSenzaListe, TheSingleListChoiceWithNothingSelectedIsToldAndIssuesNoStatement) {
    DatabaseProva db;
    FinestraProva f(db);
    f.finestra.show();
    // Lists added behind the window's back: a stray delete, of every list or
    // of an id read from no entry (0), would show in the file.
    db.lista(0, "Zero");
    db.lista(5, "Dietro");
    f.dialoghi.scelta = RispostaCancellazione::Selezionata;
    f.pulsante("cmdCancella")->click();
    EXPECT_EQ(f.dialoghi.listeMostrate, (QStringList{""}));
    ASSERT_EQ(f.messaggi.messaggi().size(), 1u);
    EXPECT_EQ(f.messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Informazione);
    EXPECT_EQ(f.messaggi.messaggi()[0].testo, "Nessuna lista selezionata.");
    EXPECT_EQ(db.idListe(), ids({0, 5}));
    EXPECT_EQ(f.combo()->count(), 0) << "no reload either";
}

}  // namespace
}  // namespace tastalo
