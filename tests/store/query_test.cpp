#include <gtest/gtest.h>

#include <QFile>
#include <vector>

#include "database_liste.h"
#include "file_prova.h"
#include "store/archivio_liste.h"

namespace tastalo {
namespace {

using test::fallimentoDi;

class QueryTest : public ::testing::Test {
protected:
    QueryTest() {
        makedb::creaDatabase(percorso);
        makedb::aggiungiListe(percorso, {
                                            {7, QStringLiteral("Magazzino"), {"8001", "8002", "8003"}},
                                            {12, QStringLiteral("Gamma"), {"9001"}},
                                            {3, QStringLiteral("Alfa"), {}},
                                        });
    }

    std::unique_ptr<Recordset> query(const QString& istruzione) const {
        return archivio.apriQuery(test::stringaConnessione(percorso), istruzione);
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

    test::TempFolder cartella;
    QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    ArchivioListe archivio{test::kAttesaBreve};
};

TEST_F(QueryTest, ListQueryGivesEveryListOrderedByName) {
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

TEST_F(QueryTest, BarcodeQueryGivesTheListsBarcodesInDatabaseOrder) {
    auto r = query(istruzioni::queryBarcode(7));
    EXPECT_EQ(colonnaZero(*r), (std::vector<QString>{"8001", "8002", "8003"}));
    auto altra = query(istruzioni::queryBarcode(12));
    EXPECT_EQ(colonnaZero(*altra), std::vector<QString>{"9001"});
}

TEST_F(QueryTest, EmptyResultsAreAtTheirEndAtOnce) {
    EXPECT_TRUE(query(istruzioni::queryBarcode(3))->allaFine());
    EXPECT_TRUE(query(istruzioni::queryBarcode(999))->allaFine());
    test::eseguiSql(percorso, "delete from movimenti; delete from liste;");
    EXPECT_TRUE(query(istruzioni::queryListe())->allaFine());
}

TEST_F(QueryTest, FieldsAreFoundByNameWithoutRegardToCase) {
    auto r = query(istruzioni::queryBarcode(7));
    EXPECT_EQ(r->indiceCampo(u"BarCode"), 0);
    EXPECT_EQ(r->indiceCampo(u"BARCODE"), 0);
    EXPECT_EQ(r->indiceCampo(u"idLista"), -1);
    EXPECT_EQ(r->campo(u"BarCode").comeTesto(), u"8001");
    r->avanti();
    // The same name again, on the next row, reads that row.
    EXPECT_EQ(r->campo(u"BarCode").comeTesto(), u"8002");
    EXPECT_EQ(r->campo(u"barcode").comeTesto(), u"8002");

    const Fallimento f = fallimentoDi([&] { (void)r->campo(u"Codice"); });
    EXPECT_EQ(f.origine(), OrigineFallimento::Database);
    EXPECT_EQ(f.codice(), 1);

    auto liste = query(istruzioni::queryListe());
    EXPECT_EQ(liste->indiceCampo(u"IDLISTA"), 0);
    EXPECT_EQ(liste->indiceCampo(u"Lista"), 1);
    EXPECT_EQ(liste->campo(u"LISTA").comeTesto(), u"Alfa");
}

TEST_F(QueryTest, FurtherColumnsOfListsComeAfterIdAndName) {
    test::eseguiSql(percorso, "alter table liste add column note TEXT; update liste set note='x';");
    auto r = query(istruzioni::queryListe());
    ASSERT_EQ(r->numeroCampi(), 3);
    EXPECT_EQ(r->campo(0).comeIntero32(), 3);
    EXPECT_EQ(r->campo(1).comeTesto(), u"Alfa");
}

TEST_F(QueryTest, MoveFirstStandsOnTheFirstRowAgain) {
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

TEST_F(QueryTest, ReadingWithoutACurrentRowFailsInsteadOfGivingStaleValues) {
    auto r = query(istruzioni::queryBarcode(12));
    r->avanti();
    ASSERT_TRUE(r->allaFine());
    EXPECT_EQ(fallimentoDi([&] { (void)r->campo(0); }).codice(), 21);
    EXPECT_EQ(fallimentoDi([&] { r->avanti(); }).codice(), 21);
    EXPECT_EQ(fallimentoDi([&] { (void)query(istruzioni::queryBarcode(7))->campo(1); }).codice(), 25);
}

TEST_F(QueryTest, ARefusedStatementFailsWithSqlitesCodeAndMessage) {
    const Fallimento f = fallimentoDi([&] { (void)query(QStringLiteral("select * from nessuna")); });
    EXPECT_EQ(f.origine(), OrigineFallimento::Database);
    EXPECT_EQ(f.codice(), 1);
    EXPECT_NE(f.descrizione().find("nessuna"), std::string::npos);
}

TEST_F(QueryTest, AQueryCannotWriteToTheFile) {
    const Fallimento f = fallimentoDi([&] { (void)query(istruzioni::cancellaTutte()); });
    EXPECT_EQ(f.codice(), 8);  // SQLITE_READONLY
    EXPECT_EQ(test::contaRighe(percorso, "select count(*) from liste"), 3);
}

TEST_F(QueryTest, AFileInWriteAheadLogModeReadsWhileAnotherProgramWrites) {
    test::eseguiSql(percorso, "PRAGMA journal_mode=WAL");
    SQLite::Database altroProgramma(test::utf8(percorso), SQLite::OPEN_READWRITE);
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
class ValoriInsolitiTest : public QueryTest {
protected:
    ValoriInsolitiTest() {
        QFile::remove(percorso);
        test::eseguiSql(percorso,
                        "create table liste(idLista, lista);"
                        "create table movimenti(idLista, Barcode);"
                        "insert into liste values (null, 'a'), ('abc', 'b'), (3000000000, 'c'),"
                        " (7.5, 'd'), ('12', 'e'), (13.0, 'f'), (-2147483648, 'g');"
                        "insert into movimenti values (1, 'testo'), (1, 123), (1, 2.5), (1, null),"
                        " (1, x'0102'), (1, ''), (1, 'Perù €');");
    }
};

TEST_F(ValoriInsolitiTest, ListIdsConvertOrFailByTheirValue) {
    auto r = query(QStringLiteral("select * from liste order by lista"));
    std::vector<std::pair<QString, std::int32_t>> esiti;  // name, id or minus the failure code
    while (!r->allaFine()) {
        std::int32_t esito = 0;
        try {
            esito = r->campo(0).comeIntero32();
        } catch (const Fallimento& f) {
            EXPECT_EQ(f.origine(), OrigineFallimento::Conversione);
            esito = -f.codice();
        }
        esiti.emplace_back(r->campo(1).comeTesto(), esito);
        r->avanti();
    }
    const std::vector<std::pair<QString, std::int32_t>> attesi{
        {"a", -94}, {"b", -13}, {"c", -6}, {"d", -13}, {"e", 12}, {"f", 13}, {"g", -2147483647 - 1}};
    EXPECT_EQ(esiti, attesi);
}

TEST_F(ValoriInsolitiTest, BarcodesOfEveryKindReadAsTextOrFail) {
    auto r = query(istruzioni::queryBarcode(1));
    std::vector<QString> visibili;
    std::vector<QString> testi;
    while (!r->allaFine()) {
        const Valore v = r->campo(u"BarCode");
        visibili.push_back(v.comeTestoVisibile());
        try {
            testi.push_back(v.comeTesto());
        } catch (const Fallimento& f) {
            testi.push_back(QStringLiteral("#%1").arg(f.codice()));
        }
        r->avanti();
    }
    EXPECT_EQ(visibili, (std::vector<QString>{"testo", "123", "2.5", "", "", "", "Perù €"}));
    EXPECT_EQ(testi, (std::vector<QString>{"testo", "123", "2.5", "#94", "#13", "", "Perù €"}));
}

}  // namespace
}  // namespace tastalo
