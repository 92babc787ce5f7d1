#include <gtest/gtest.h>

#include <ostream>

#include "store/chiusura.h"
#include "store/istruzioni.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"

namespace tastalo::makedb {
// For readable test names.
void PrintTo(Vincolo vincolo, std::ostream* os) {
    *os << (vincolo == Vincolo::Cascata           ? "Cascata"
            : vincolo == Vincolo::SoloRiferimento ? "SoloRiferimento"
                                                  : "Nessuno");
}
}  // namespace tastalo::makedb

namespace tastalo::prova {
namespace {

using prova::DatabaseProva;
using prova::fallisce;

// Runs a statement the way the deletion does: open, execute, close.
void comanda(const DatabaseProva& db, const QString& istruzione) {
    auto connessione = db.archivio.apriConnessione(db.connessione());
    connessione->esegui(istruzione);
    ChiudiConnessione(connessione);
}

class ComandiProva : public ::testing::TestWithParam<makedb::Vincolo> {
protected:
    ComandiProva() {
        db.lista(7, QStringLiteral("Magazzino"), {"8001", "8002"});
        db.lista(12, QStringLiteral("Gamma"), {"9001"});
        db.lista(3, QStringLiteral("Alfa"));
    }

    std::int64_t liste() const { return db.conta("select count(*) from liste"); }
    std::int64_t barcode() const { return db.conta("select count(*) from movimenti"); }
    std::int64_t barcode(int id) const {
        return db.conta("select count(*) from movimenti where idLista=" + std::to_string(id));
    }

    DatabaseProva db{GetParam()};
};

class CascataProva : public ComandiProva {};
class SenzaRiferimentoProva : public ComandiProva {};
class RiferimentoProva : public ComandiProva {};

TEST_P(ComandiProva, DeleteOneRemovesOnlyThatList) {
    comanda(db, istruzioni::cancellaUna(QStringLiteral("3")));
    EXPECT_EQ(liste(), 2);
    EXPECT_EQ(db.conta("select count(*) from liste where idLista=3"), 0);
    EXPECT_EQ(barcode(7), 2);
    EXPECT_EQ(barcode(12), 1);
}

TEST_P(ComandiProva, DeletingAListThatIsNoLongerThereChangesNothing) {
    comanda(db, istruzioni::cancellaUna(99));
    EXPECT_EQ(liste(), 3);
    EXPECT_EQ(barcode(), 3);
}

TEST_P(CascataProva, ADeletedListTakesItsBarcodes) {
    comanda(db, istruzioni::cancellaUna(QStringLiteral("7")));
    EXPECT_EQ(liste(), 2);
    EXPECT_EQ(barcode(7), 0);
    EXPECT_EQ(barcode(12), 1);

    comanda(db, istruzioni::cancellaTutte());
    EXPECT_EQ(liste(), 0);
    EXPECT_EQ(barcode(), 0);
}

TEST_P(SenzaRiferimentoProva, BarcodesOfADeletedListStay) {
    comanda(db, istruzioni::cancellaUna(QStringLiteral("7")));
    EXPECT_EQ(liste(), 2);
    EXPECT_EQ(barcode(7), 2);

    comanda(db, istruzioni::cancellaTutte());
    EXPECT_EQ(liste(), 0);
    EXPECT_EQ(barcode(), 3);
}

TEST_P(RiferimentoProva, TheFilesRuleRefusesDeletingAListWithBarcodes) {
    const auto violazione = fallisce(OrigineFallimento::Database, 19);  // SQLITE_CONSTRAINT
    EXPECT_THAT([&] { comanda(db, istruzioni::cancellaUna(7)); }, violazione);
    EXPECT_EQ(liste(), 3);

    // All or nothing: the empty list 3 stays as well.
    EXPECT_THAT([&] { comanda(db, istruzioni::cancellaTutte()); }, violazione);
    EXPECT_EQ(liste(), 3);

    comanda(db, istruzioni::cancellaUna(3));
    EXPECT_EQ(liste(), 2);
}

std::string nomeVincolo(const ::testing::TestParamInfo<makedb::Vincolo>& info) {
    return ::testing::PrintToString(info.param);
}

INSTANTIATE_TEST_SUITE_P(OgniFile, ComandiProva,
                         ::testing::Values(makedb::Vincolo::Cascata, makedb::Vincolo::SoloRiferimento,
                                           makedb::Vincolo::Nessuno),
                         nomeVincolo);
INSTANTIATE_TEST_SUITE_P(File, CascataProva, ::testing::Values(makedb::Vincolo::Cascata), nomeVincolo);
INSTANTIATE_TEST_SUITE_P(File, SenzaRiferimentoProva, ::testing::Values(makedb::Vincolo::Nessuno),
                         nomeVincolo);
INSTANTIATE_TEST_SUITE_P(File, RiferimentoProva, ::testing::Values(makedb::Vincolo::SoloRiferimento),
                         nomeVincolo);

TEST(Comandi, TheDeleteOneTextMatchesIdsInIntegerAndTextColumns) {
    for (const char* tipo : {"INTEGER PRIMARY KEY", "INTEGER", "TEXT", "NUMERIC"}) {
        SCOPED_TRACE(tipo);
        DatabaseProva db{DatabaseProva::SenzaFile{}};
        db.esegui(std::string("create table liste(idLista ") + tipo + ", lista TEXT);" +
                  "insert into liste values (7, 'a'), ('12', 'b'), (8, 'c');");
        comanda(db, istruzioni::cancellaUna(7));
        comanda(db, istruzioni::cancellaUna(12));
        EXPECT_EQ(db.conta("select count(*) from liste"), 1);
        EXPECT_EQ(db.conta("select count(*) from liste where lista='c'"), 1);
    }
}

TEST(Comandi, ARefusedOrClosedCommandFails) {
    const DatabaseProva db;
    auto c = db.archivio.apriConnessione(db.connessione());
    EXPECT_THAT([&] { c->esegui(QStringLiteral("delete from nessuna")); },
                fallisce(OrigineFallimento::Database, 1));
    c->chiudi();
    EXPECT_THAT([&] { c->esegui(istruzioni::cancellaTutte()); }, fallisce(OrigineFallimento::Database, 21));
}

}  // namespace
}  // namespace tastalo::prova
