#include <gtest/gtest.h>

#include <ostream>

#include "database_liste.h"
#include "file_prova.h"
#include "store/archivio_liste.h"

namespace tastalo::makedb {
// For readable test names.
void PrintTo(Vincolo vincolo, std::ostream* os) {
    *os << (vincolo == Vincolo::Cascata           ? "Cascata"
            : vincolo == Vincolo::SoloRiferimento ? "SoloRiferimento"
                                                  : "Nessuno");
}
}  // namespace tastalo::makedb

namespace tastalo {
namespace {

using test::contaRighe;
using test::fallimentoDi;

// Runs a statement the way the deletion does: open, execute, close.
void comanda(const ArchivioListe& archivio, const QString& percorso, const QString& istruzione) {
    auto connessione = archivio.apriConnessione(test::stringaConnessione(percorso));
    connessione->esegui(istruzione);
    ChiudiConnessione(connessione);
}

class ComandiTest : public ::testing::TestWithParam<makedb::Vincolo> {
protected:
    ComandiTest() {
        makedb::scriviDatabase(percorso,
                               {
                                   {7, QStringLiteral("Magazzino"), {"8001", "8002"}},
                                   {12, QStringLiteral("Gamma"), {"9001"}},
                                   {3, QStringLiteral("Alfa"), {}},
                               },
                               GetParam(), false);
    }

    long long liste() const { return contaRighe(percorso, "select count(*) from liste"); }
    long long barcode(int id) const {
        return contaRighe(percorso, "select count(*) from movimenti where idLista=" + std::to_string(id));
    }

    test::TempFolder cartella;
    QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    ArchivioListe archivio{test::kAttesaBreve};
};

class CascataTest : public ComandiTest {};
class SenzaRiferimentoTest : public ComandiTest {};
class RiferimentoTest : public ComandiTest {};

TEST_P(ComandiTest, DeleteOneRemovesOnlyThatList) {
    comanda(archivio, percorso, istruzioni::cancellaUna(QStringLiteral("3")));
    EXPECT_EQ(liste(), 2);
    EXPECT_EQ(contaRighe(percorso, "select count(*) from liste where idLista=3"), 0);
    EXPECT_EQ(barcode(7), 2);
    EXPECT_EQ(barcode(12), 1);
}

TEST_P(ComandiTest, DeletingAListThatIsNoLongerThereChangesNothing) {
    comanda(archivio, percorso, istruzioni::cancellaUna(99));
    EXPECT_EQ(liste(), 3);
    EXPECT_EQ(contaRighe(percorso, "select count(*) from movimenti"), 3);
}

TEST_P(CascataTest, ADeletedListTakesItsBarcodes) {
    comanda(archivio, percorso, istruzioni::cancellaUna(QStringLiteral("7")));
    EXPECT_EQ(liste(), 2);
    EXPECT_EQ(barcode(7), 0);
    EXPECT_EQ(barcode(12), 1);

    comanda(archivio, percorso, istruzioni::cancellaTutte());
    EXPECT_EQ(liste(), 0);
    EXPECT_EQ(contaRighe(percorso, "select count(*) from movimenti"), 0);
}

TEST_P(SenzaRiferimentoTest, BarcodesOfADeletedListStay) {
    comanda(archivio, percorso, istruzioni::cancellaUna(QStringLiteral("7")));
    EXPECT_EQ(liste(), 2);
    EXPECT_EQ(barcode(7), 2);

    comanda(archivio, percorso, istruzioni::cancellaTutte());
    EXPECT_EQ(liste(), 0);
    EXPECT_EQ(contaRighe(percorso, "select count(*) from movimenti"), 3);
}

TEST_P(RiferimentoTest, TheFilesRuleRefusesDeletingAListWithBarcodes) {
    const Fallimento una = fallimentoDi([&] { comanda(archivio, percorso, istruzioni::cancellaUna(7)); });
    EXPECT_EQ(una.origine(), OrigineFallimento::Database);
    EXPECT_EQ(una.codice(), 19);  // SQLITE_CONSTRAINT
    EXPECT_EQ(liste(), 3);

    // All or nothing: the empty list 3 stays as well.
    EXPECT_EQ(fallimentoDi([&] { comanda(archivio, percorso, istruzioni::cancellaTutte()); }).codice(), 19);
    EXPECT_EQ(liste(), 3);

    comanda(archivio, percorso, istruzioni::cancellaUna(3));
    EXPECT_EQ(liste(), 2);
}

std::string nomeVincolo(const ::testing::TestParamInfo<makedb::Vincolo>& info) {
    return ::testing::PrintToString(info.param);
}

INSTANTIATE_TEST_SUITE_P(OgniFile, ComandiTest,
                         ::testing::Values(makedb::Vincolo::Cascata, makedb::Vincolo::SoloRiferimento,
                                           makedb::Vincolo::Nessuno),
                         nomeVincolo);
INSTANTIATE_TEST_SUITE_P(File, CascataTest, ::testing::Values(makedb::Vincolo::Cascata), nomeVincolo);
INSTANTIATE_TEST_SUITE_P(File, SenzaRiferimentoTest, ::testing::Values(makedb::Vincolo::Nessuno),
                         nomeVincolo);
INSTANTIATE_TEST_SUITE_P(File, RiferimentoTest, ::testing::Values(makedb::Vincolo::SoloRiferimento),
                         nomeVincolo);

TEST(Comandi, TheDeleteOneTextMatchesIdsInIntegerAndTextColumns) {
    for (const char* tipo : {"INTEGER PRIMARY KEY", "INTEGER", "TEXT", "NUMERIC"}) {
        SCOPED_TRACE(tipo);
        test::TempFolder cartella;
        const QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
        test::eseguiSql(percorso, std::string("create table liste(idLista ") + tipo + ", lista TEXT);" +
                                      "insert into liste values (7, 'a'), ('12', 'b'), (8, 'c');");
        const ArchivioListe archivio(test::kAttesaBreve);
        comanda(archivio, percorso, istruzioni::cancellaUna(7));
        comanda(archivio, percorso, istruzioni::cancellaUna(12));
        EXPECT_EQ(contaRighe(percorso, "select count(*) from liste"), 1);
        EXPECT_EQ(contaRighe(percorso, "select count(*) from liste where lista='c'"), 1);
    }
}

TEST(Comandi, ARefusedOrClosedCommandFails) {
    test::TempFolder cartella;
    const QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    makedb::creaDatabase(percorso);
    const ArchivioListe archivio(test::kAttesaBreve);
    auto c = archivio.apriConnessione(test::stringaConnessione(percorso));
    const Fallimento rifiutata = fallimentoDi([&] { c->esegui(QStringLiteral("delete from nessuna")); });
    EXPECT_EQ(rifiutata.origine(), OrigineFallimento::Database);
    EXPECT_EQ(rifiutata.codice(), 1);
    c->chiudi();
    EXPECT_EQ(fallimentoDi([&] { c->esegui(istruzioni::cancellaTutte()); }).codice(), 21);
}

}  // namespace
}  // namespace tastalo
