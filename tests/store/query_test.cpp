#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "store/istruzioni.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"

namespace tastalo::prova {
namespace {

using prova::fallisce;

class QueryProva : public ::testing::Test {
protected:
    QueryProva() {
        db.lista(7, QStringLiteral("Magazzino"), {"8001", "8002", "8003"});
        db.lista(12, QStringLiteral("Gamma"), {"9001"});
        db.lista(3, QStringLiteral("Alfa"));
    }

    std::unique_ptr<Recordset> query(const QString& istruzione) const {
        return db.archivio.apriQuery(db.connessione(), istruzione);
    }

    // Every row's field 0 as text, reading with the end test.
    static std::vector<QString> colonnaZero(Recordset& r) {
        std::vector<QString> valori;
        while (!r.allaFine()) {
            valori.push_back(r.campo(0).comeTestoVisibile());
            r.avanti();
        }
        return valori;
    }

    prova::DatabaseProva db;
};

TEST_F(QueryProva, ListQueryGivesEveryListOrderedByName) {
    auto r = query(istruzioni::queryListe());
    ASSERT_EQ(r->numeroCampi(), 2);
    EXPECT_EQ(r->nomeCampo(0), u"idLista");
    EXPECT_EQ(r->nomeCampo(1), u"lista");

    std::vector<std::pair<std::int32_t, QString>> righe;
    while (!r->allaFine()) {
        righe.emplace_back(r->campo(0).comeIntero32(), r->campo(1).comeTesto());
        r->avanti();
    }
    const std::vector<std::pair<std::int32_t, QString>> attese{
        {3, QStringLiteral("Alfa")}, {12, QStringLiteral("Gamma")}, {7, QStringLiteral("Magazzino")}};
    EXPECT_EQ(righe, attese);
    EXPECT_TRUE(r->allaFine());
}

TEST_F(QueryProva, NamesInAMadeDatabaseSortWithoutRegardToCase) {
    db.lista(20, QStringLiteral("beta"));
    db.lista(21, QStringLiteral("ZULU"));
    auto r = query(istruzioni::queryListe());
    std::vector<QString> nomi;
    for (; !r->allaFine(); r->avanti()) nomi.push_back(r->campo(1).comeTesto());
    EXPECT_EQ(nomi, (std::vector<QString>{"Alfa", "beta", "Gamma", "Magazzino", "ZULU"}));
}

TEST_F(QueryProva, BarcodeQueryGivesTheListsBarcodesInDatabaseOrder) {
    auto r = query(istruzioni::queryBarcode(7));
    EXPECT_EQ(colonnaZero(*r), (std::vector<QString>{"8001", "8002", "8003"}));
    auto altra = query(istruzioni::queryBarcode(12));
    EXPECT_EQ(colonnaZero(*altra), std::vector<QString>{"9001"});
}

TEST_F(QueryProva, EmptyResultsAreAtTheirEndAtOnce) {
    EXPECT_TRUE(query(istruzioni::queryBarcode(3))->allaFine());
    EXPECT_TRUE(query(istruzioni::queryBarcode(999))->allaFine());
    db.esegui("delete from movimenti; delete from liste;");
    EXPECT_TRUE(query(istruzioni::queryListe())->allaFine());
}

TEST_F(QueryProva, FieldsAreFoundByNameWithoutRegardToCase) {
    auto r = query(istruzioni::queryBarcode(7));
    EXPECT_EQ(r->indiceCampo(u"BarCode"), 0);
    EXPECT_EQ(r->indiceCampo(u"BARCODE"), 0);
    EXPECT_EQ(r->indiceCampo(u"idLista"), -1);
    EXPECT_EQ(r->campo(u"BarCode").comeTesto(), u"8001");
    r->avanti();
    // The same name again, on the next row, reads that row.
    EXPECT_EQ(r->campo(u"BarCode").comeTesto(), u"8002");
    EXPECT_EQ(r->campo(u"barcode").comeTesto(), u"8002");

    EXPECT_THAT([&] { (void)r->campo(u"Codice"); }, fallisce(OrigineFallimento::Database, 1));

    auto liste = query(istruzioni::queryListe());
    EXPECT_EQ(liste->indiceCampo(u"IDLISTA"), 0);
    EXPECT_EQ(liste->indiceCampo(u"Lista"), 1);
    EXPECT_EQ(liste->campo(u"LISTA").comeTesto(), u"Alfa");
}

TEST_F(QueryProva, FurtherColumnsOfListsComeAfterIdAndName) {
    db.esegui("alter table liste add column note TEXT; update liste set note='x';");
    auto r = query(istruzioni::queryListe());
    ASSERT_EQ(r->numeroCampi(), 3);
    EXPECT_EQ(r->campo(0).comeIntero32(), 3);
    EXPECT_EQ(r->campo(1).comeTesto(), u"Alfa");
}

TEST_F(QueryProva, MoveFirstStandsOnTheFirstRowAgain) {
    auto r = query(istruzioni::queryBarcode(7));
    EXPECT_EQ(colonnaZero(*r).size(), 3u);
    ASSERT_TRUE(r->allaFine());
    r->primo();
    ASSERT_FALSE(r->allaFine());
    EXPECT_EQ(r->campo(0).comeTesto(), u"8001");
    r->avanti();
    r->primo();
    EXPECT_EQ(colonnaZero(*r), (std::vector<QString>{"8001", "8002", "8003"}));
}

TEST_F(QueryProva, ReadingWithoutACurrentRowFailsInsteadOfGivingStaleValues) {
    auto r = query(istruzioni::queryBarcode(12));
    r->avanti();
    ASSERT_TRUE(r->allaFine());
    EXPECT_THAT([&] { (void)r->campo(0); }, fallisce(OrigineFallimento::Database, 21));
    EXPECT_THAT([&] { r->avanti(); }, fallisce(OrigineFallimento::Database, 21));
    EXPECT_THAT([&] { (void)query(istruzioni::queryBarcode(7))->campo(1); },
                fallisce(OrigineFallimento::Database, 25));
}

TEST_F(QueryProva, ARefusedStatementFailsWithSqlitesCodeAndMessage) {
    EXPECT_THAT([&] { (void)query(QStringLiteral("select * from nessuna")); },
                fallisce(OrigineFallimento::Database, 1, ::testing::HasSubstr("nessuna")));
}

TEST_F(QueryProva, AQueryCannotWriteToTheFile) {
    EXPECT_THAT([&] { (void)query(istruzioni::cancellaTutte()); },
                fallisce(OrigineFallimento::Database, 8));  // SQLITE_READONLY
    EXPECT_EQ(db.conta("select count(*) from liste"), 3);
}

TEST_F(QueryProva, AFileInWriteAheadLogModeReadsWhileAnotherProgramWrites) {
    db.esegui("PRAGMA journal_mode=WAL");
    SQLite::Database altroProgramma = db.apri(SQLite::OPEN_READWRITE);
    altroProgramma.exec("BEGIN IMMEDIATE");
    altroProgramma.exec("insert into liste values (99, 'Non ancora scritta')");
    auto r = query(istruzioni::queryListe());
    EXPECT_EQ(colonnaZero(*r), (std::vector<QString>{"3", "12", "7"}));
    altroProgramma.exec("COMMIT");
    r->primo();
    EXPECT_EQ(colonnaZero(*r), (std::vector<QString>{"3", "12", "7", "99"}));
}

// Values as the other program may have stored them: SQLite keeps what it is
// given when a column has no type.
class ValoriInsolitiProva : public QueryProva {
protected:
    ValoriInsolitiProva() {
        db.esegui(
            "drop table movimenti; drop table liste;"
            "create table liste(idLista, lista); create table movimenti(idLista, Barcode);"
            "insert into liste values (null, 'a'), ('abc', 'b'), (3000000000, 'c'),"
            " (7.5, 'd'), ('12', 'e'), (13.0, 'f'), (-2147483648, 'g');"
            "insert into movimenti values (1, 'testo'), (1, 123), (1, 2.5), (1, null),"
            " (1, x'0102'), (1, ''), (1, 'Perù €');");
    }
};

TEST_F(ValoriInsolitiProva, ListIdsConvertOrFailByTheirValue) {
    auto r = query(QStringLiteral("select * from liste order by lista"));
    const auto id = [&] { return r->campo(0).comeIntero32(); };
    for (const std::int32_t codice : {94, 13, 6, 13}) {  // null, 'abc', 3000000000, 7.5
        EXPECT_THAT(id, fallisce(OrigineFallimento::Conversione, codice));
        r->avanti();
    }
    EXPECT_EQ(id(), 12);
    r->avanti();
    EXPECT_EQ(id(), 13);
    r->avanti();
    EXPECT_EQ(id(), -2147483647 - 1);
}

TEST_F(ValoriInsolitiProva, BarcodesOfEveryKindReadAsTextOrFail) {
    auto r = query(istruzioni::queryBarcode(1));
    const auto testo = [&] { return r->campo(u"BarCode").comeTesto(); };
    std::vector<QString> visibili;
    // The text of each row, or "#" and the code of its failure.
    for (const char* atteso : {"testo", "123", "2.5", "#94", "#13", "", "Perù €"}) {
        visibili.push_back(r->campo(u"BarCode").comeTestoVisibile());
        if (atteso[0] == '#') {
            EXPECT_THAT(testo, fallisce(OrigineFallimento::Conversione, std::atoi(atteso + 1)));
        } else {
            EXPECT_EQ(testo(), QString::fromUtf8(atteso));
        }
        r->avanti();
    }
    EXPECT_TRUE(r->allaFine());
    EXPECT_EQ(visibili, (std::vector<QString>{"testo", "123", "2.5", "", "", "", "Perù €"}));
}

}  // namespace
}  // namespace tastalo::prova
