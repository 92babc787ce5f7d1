// The store's list operations on a SQL Server Compact file: the same results
// as on SQLite, read by the program's own reader, and a file never written.
#include <gtest/gtest.h>

#include "store/compact/fallimento_compact.h"
#include "store/elenco_liste.h"
#include "store/formato_file.h"
#include "support/compact/liste_compact.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"

namespace tastalo {
namespace {

namespace scritto = prova::compact;
using prova::fallisce;

class ListeCompact : public ::testing::Test {
protected:
    void scrivi(const std::vector<scritto::TabellaScritta>& tabelle) {
        scritto::scriviFileCompact(db.percorso().toStdU16String(), tabelle);
    }
    void scriviListe(const std::vector<scritto::ListaScritta>& liste) {
        scrivi(scritto::databaseListe(liste));
    }

    // Every row's fields as the windows show them.
    static std::vector<QStringList> righe(Recordset& r) {
        std::vector<QStringList> tutte;
        for (; !r.allaFine(); r.avanti()) {
            QStringList campi;
            for (int i = 0; i < r.numeroCampi(); ++i) campi << r.campo(i).comeTestoVisibile();
            tutte.push_back(campi);
        }
        return tutte;
    }

    prova::DatabaseProva db{prova::DatabaseProva::SenzaFile{}};
};

TEST_F(ListeCompact, TheFormatIsToldByContentNotByName) {
    scriviListe({});
    prova::DatabaseProva sqlite;
    db.cartella.write("testo.sdf", "SQLite format 3 is not this file's first line\n");
    db.cartella.write("vuoto.sdf", "");
    const std::vector<std::pair<QString, FormatoFile>> casi{
        {db.percorso(), FormatoFile::Compact},
        {sqlite.percorso(), FormatoFile::SQLite},
        {db.cartella.file("testo.sdf"), FormatoFile::Altro},
        {db.cartella.file("vuoto.sdf"), FormatoFile::Altro},
        {db.cartella.file("manca.sdf"), FormatoFile::Altro},
        {db.cartella.path(), FormatoFile::Altro},
    };
    for (const auto& [percorso, formato] : casi)
        EXPECT_EQ(riconosciFormato(percorso), formato) << percorso.toStdString();
}

TEST_F(ListeCompact, ListsComeWithAllTheirColumnsInDictionaryOrderWithoutRegardToCase) {
    scrivi({{"LISTE",
             {{"IDLISTA", scritto::tipo::kInt},
              {"Lista", scritto::tipo::kNvarchar},
              {"note", scritto::tipo::kNvarchar}},
             {{std::int64_t{7}, u"Magazzino", u"x"},
              {std::int64_t{3}, u"alfa", std::monostate{}},
              {std::int64_t{12}, u"Beta", u"città €"},
              {std::int64_t{9}, std::monostate{}, u""},
              {std::int64_t{4}, u"ALFA", u"dopo alfa"},
              {std::int64_t{5}, u"Èlite", u""},
              {std::int64_t{6}, u"elenco", u""}}}});
    auto r = db.archivio.queryListe(db.connessione());
    EXPECT_EQ(r->nomeCampo(0), "IDLISTA");
    EXPECT_EQ(r->indiceCampo(u"lista"), 1);
    EXPECT_EQ(righe(*r), (std::vector<QStringList>{{"9", "", ""},
                                                   {"3", "alfa", ""},
                                                   {"4", "ALFA", "dopo alfa"},
                                                   {"12", "Beta", "città €"},
                                                   {"6", "elenco", ""},
                                                   {"5", "Èlite", ""},
                                                   {"7", "Magazzino", "x"}}));
    const auto voci = leggiListe(db.archivio, db.connessione());
    ASSERT_EQ(voci.size(), 7u);
    EXPECT_EQ(voci[3].testo, "12 - Beta");
    EXPECT_EQ(voci[3].id, 12);
}

TEST_F(ListeCompact, ABarcodeQueryGivesOneListsBarcodesInTheTablesOrderReadAgainFromTheFirst) {
    std::vector<std::u16string> molti;
    for (int i = 0; i < 3000; ++i) molti.push_back(u"800" + QString::number(i).toStdU16String());
    scriviListe(
        {{7, u"Magazzino", {u"B1", u"", u"città-€-Ω"}}, {8, u"Altra", molti}, {-7, u"Negativa", {u"N"}}});

    auto r = db.archivio.queryBarcode(db.connessione(), 7);
    EXPECT_EQ(r->nomeCampo(0), "Barcode");
    EXPECT_EQ(righe(*r), (std::vector<QStringList>{{"B1"}, {""}, {"città-€-Ω"}}));
    r->primo();
    EXPECT_EQ(r->campo(u"BarCode").comeTesto(), "B1");

    std::vector<QStringList> attesi;
    for (const auto& b : molti) attesi.push_back({QString::fromStdU16String(b)});
    EXPECT_EQ(righe(*db.archivio.queryBarcode(db.connessione(), 8)), attesi);
    EXPECT_EQ(righe(*db.archivio.queryBarcode(db.connessione(), -7)), std::vector<QStringList>{{"N"}});
    EXPECT_TRUE(db.archivio.queryBarcode(db.connessione(), 99)->allaFine());
}

TEST_F(ListeCompact, ListIdsOfOtherTypesCompareAsNumbersAndANullBarcodeStaysNull) {
    scrivi({{"movimenti",
             {{"idLista", scritto::tipo::kNvarchar}, {"Barcode", scritto::tipo::kNvarchar}},
             {{u" 7", u"a"}, {u"8", u"b"}, {std::monostate{}, u"c"}, {u"7", std::monostate{}}}}});
    auto r = db.archivio.queryBarcode(db.connessione(), 7);
    EXPECT_EQ(r->campo(0).comeTesto(), "a");
    r->avanti();
    EXPECT_TRUE(r->campo(0).nullo());
    r->avanti();
    EXPECT_TRUE(r->allaFine());
}

TEST_F(ListeCompact, DeletingNeverWritesTheFile) {
    scriviListe({{7, u"Magazzino", {u"B1"}}});
    const QByteArray prima = db.cartella.read("Dati.sdf");
    const auto solaLettura = fallisce(OrigineFallimento::FileCompact, compact::kSolaLettura);
    EXPECT_THAT([&] { db.archivio.cancellaLista(db.connessione(), 7); }, solaLettura);
    EXPECT_THAT([&] { db.archivio.cancellaTutte(db.connessione()); }, solaLettura);
    EXPECT_EQ(db.cartella.read("Dati.sdf"), prima);
    EXPECT_EQ(leggiListe(db.archivio, db.connessione()).size(), 1u);
}

TEST_F(ListeCompact, AFileWithoutTheListTablesSaysWhichIsMissing) {
    scrivi({{"altro", {{"x", scritto::tipo::kInt}}, {}}});
    EXPECT_THAT(
        [&] { db.archivio.queryListe(db.connessione()); },
        fallisce(OrigineFallimento::FileCompact, compact::kTabellaAssente, ::testing::HasSubstr("liste")));
    scrivi({{"movimenti", {{"idLista", scritto::tipo::kInt}}, {}}});
    EXPECT_THAT(
        [&] { db.archivio.queryBarcode(db.connessione(), 1); },
        fallisce(OrigineFallimento::FileCompact, compact::kColonnaAssente, ::testing::HasSubstr("Barcode")));
}

}  // namespace
}  // namespace tastalo
