#include "ui/cancella_liste.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "core/avvisi.h"
#include "support/compact/liste_compact.h"
#include "support/database_prova.h"
#include "support/fake_messaggi.h"

namespace tastalo {
namespace {

using prova::DatabaseProva;
using prova::FakeMessaggi;

std::vector<std::int64_t> ids(std::initializer_list<std::int64_t> valori) { return valori; }

TEST(CancellaListe, OneListGoesWithItsBarcodesWhenTheFileCascadesAndTheOthersStay) {
    DatabaseProva db;
    db.lista(7, "Alfa", {"1", "2"});
    db.lista(12, "Gamma", {"3"});
    FakeMessaggi messaggi;
    CancellaListe(db.archivio, db.connessione(), messaggi, 7);
    EXPECT_EQ(db.idListe(), ids({12}));
    EXPECT_EQ(db.conta("select count(*) from movimenti where idLista = 7"), 0);
    EXPECT_EQ(db.conta("select count(*) from movimenti where idLista = 12"), 1);
    EXPECT_TRUE(messaggi.messaggi().empty());
}

TEST(CancellaListe, BarcodesStayWhenTheFileHasNoRuleForThem) {
    DatabaseProva db(makedb::Vincolo::Nessuno);
    db.lista(7, "Alfa", {"1", "2"});
    FakeMessaggi messaggi;
    CancellaListe(db.archivio, db.connessione(), messaggi, 7);
    EXPECT_TRUE(db.idListe().empty());
    EXPECT_EQ(db.conta("select count(*) from movimenti"), 2);
}

TEST(CancellaListe, ANegativeIdIsDeletedAndAListAlreadyGoneIsNoFailure) {
    DatabaseProva db;
    db.lista(-5, "Meno");
    db.lista(7, "Alfa");
    FakeMessaggi messaggi;
    CancellaListe(db.archivio, db.connessione(), messaggi, -5);
    CancellaListe(db.archivio, db.connessione(), messaggi, 99);
    EXPECT_EQ(db.idListe(), ids({7}));
    EXPECT_TRUE(messaggi.messaggi().empty());
}

TEST(CancellaListe, ALockedFileShowsTheDatabaseCodeAndDeletesNothing) {
    DatabaseProva db;
    db.lista(7, "Alfa");
    auto blocco = db.blocca();
    FakeMessaggi messaggi;
    CancellaListe(db.archivio, db.connessione(), messaggi, 7);
    blocco.reset();
    ASSERT_EQ(messaggi.messaggi().size(), 1u);
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    EXPECT_TRUE(messaggi.messaggi()[0].testo.startsWith("5 - ")) << messaggi.testi().join("|").toStdString();
    EXPECT_EQ(db.idListe(), ids({7}));
}

TEST(CancellaListe, AStatementTheFileRefusesIsToldAndNothingIsDeleted) {
    DatabaseProva db(makedb::Vincolo::SoloRiferimento);
    db.lista(7, "Alfa", {"1"});
    db.lista(8, "Beta");
    FakeMessaggi messaggi;
    CancellaListe(db.archivio, db.connessione(), messaggi, std::nullopt);
    ASSERT_EQ(messaggi.messaggi().size(), 1u);
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    EXPECT_TRUE(messaggi.messaggi()[0].testo.contains(QRegularExpression("^\\d+ - .*FOREIGN KEY")))
        << messaggi.testi().join("|").toStdString();
    EXPECT_EQ(db.idListe(), ids({7, 8}));
}

TEST(CancellaListe, ACompactFileIsNeverWrittenAndTheOperatorIsToldWhatToDoInstead) {
    DatabaseProva db(DatabaseProva::SenzaFile{});
    prova::compact::scriviFileCompact(
        db.percorso().toStdU16String(),
        prova::compact::databaseListe({{7, u"Alfa", {u"1"}}, {8, u"Beta", {}}}));
    const QByteArray prima = db.cartella.read("Dati.sdf");
    for (const std::optional<std::int32_t> id :
         {std::optional<std::int32_t>(7), std::optional<std::int32_t>()}) {
        FakeMessaggi messaggi;
        CancellaListe(db.archivio, db.connessione(), messaggi, id);
        ASSERT_EQ(messaggi.messaggi().size(), 1u);
        EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Informazione);
        EXPECT_EQ(messaggi.messaggi()[0].testo, avvisi::kCompactNonCancellabile);
    }
    EXPECT_EQ(db.cartella.read("Dati.sdf"), prima);
}

}  // namespace
}  // namespace tastalo
