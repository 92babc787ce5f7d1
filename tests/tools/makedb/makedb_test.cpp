#include <gtest/gtest.h>

#include <QDir>
#include <set>

#include "csv_liste.h"
#include "liste_esempio.h"
#include "store/istruzioni.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"

namespace tastalo {
namespace {

using prova::fallisce;

// The lists of a file as the program reads them: "id - name: barcodes".
std::vector<QString> letturaDelProgramma(const QString& percorso) {
    const ArchivioListe archivio(prova::kAttesaBreve);
    const QString stringa = costruisciStringaConnessione(percorso);
    std::vector<QString> righe;
    auto liste = archivio.apriQuery(stringa, istruzioni::queryListe());
    while (!liste->allaFine()) {
        QString riga = liste->campo(0).comeTestoVisibile() + " - " + liste->campo(1).comeTesto() + ":";
        auto barcode = archivio.apriQuery(stringa, istruzioni::queryBarcode(liste->campo(0).comeIntero32()));
        while (!barcode->allaFine()) {
            riga += " " + barcode->campo(u"BarCode").comeTesto();
            barcode->avanti();
        }
        righe.push_back(riga);
        liste->avanti();
    }
    return righe;
}

TEST(MakedbCsv, ListsWithUtf8NamesReadBackAsWritten) {
    const QByteArray csv =
        "\xEF\xBB\xBF"
        "idLista;lista;Barcode\r\n"
        "7;Città di Perù;8001\r\n"
        "# a comment\r\n"
        "\r\n"
        "12;\"Gamma; sì\";\"80\"\"02\"\r\n"
        "7;Città di Perù;8003\r\n"
        "15;Vuota\r\n"
        "7;Città di Perù;\n";
    const auto liste = makedb::leggiCsv(csv);
    ASSERT_EQ(liste.size(), 3u);
    EXPECT_EQ(liste[0].barcode, (std::vector<QString>{"8001", "8003", ""}));

    prova::TempFolder cartella;
    const QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    makedb::scriviDatabase(percorso, liste, makedb::Vincolo::Cascata, false);
    EXPECT_EQ(letturaDelProgramma(percorso), (std::vector<QString>{
                                                 QStringLiteral("7 - Città di Perù: 8001 8003 "),
                                                 QStringLiteral("12 - Gamma; sì: 80\"02"),
                                                 QStringLiteral("15 - Vuota:"),
                                             }));
}

TEST(MakedbCsv, FaultsNameTheirLine) {
    const std::vector<std::pair<QByteArray, const char*>> casi{
        {"7;Alfa;1\nsette;Beta;2\n", "riga 2"}, {"7;Alfa;1\n7;Beta;2\n", "riga 2"},
        {"7;Alfa;1;extra\n", "riga 1"},         {"7\n", "riga 1"},
        {"\n\n7;\"Alfa;1\n", "riga 3"},         {"7;Alf\xE0;1\n", "UTF-8"},
    };
    for (const auto& [csv, attesa] : casi) {
        SCOPED_TRACE(csv.toStdString());
        EXPECT_THAT(
            [&] { (void)makedb::leggiCsv(csv); },
            fallisce(OrigineFallimento::Programma, makedb::kCsvNonValido, ::testing::HasSubstr(attesa)));
    }
}

TEST(MakedbFile, AnExistingFileIsKeptUnlessReplacingIsAsked) {
    prova::TempFolder cartella;
    const QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    cartella.write(QStringLiteral("Dati.sdf"), "dati di un altro programma");

    const auto esistente = fallisce(OrigineFallimento::Programma, makedb::kFileEsistente);
    EXPECT_THAT(
        [&] { makedb::scriviDatabase(percorso, makedb::listeDemo(), makedb::Vincolo::Cascata, false); },
        esistente);
    EXPECT_THAT([&] { makedb::creaDatabase(percorso); }, esistente);
    EXPECT_EQ(cartella.read(QStringLiteral("Dati.sdf")), "dati di un altro programma");

    makedb::scriviDatabase(percorso, {{1, QStringLiteral("Nuova"), {"1"}}}, makedb::Vincolo::Cascata, true);
    EXPECT_EQ(letturaDelProgramma(percorso), std::vector<QString>{QStringLiteral("1 - Nuova: 1")});
    // Nothing of the making is left beside the file.
    EXPECT_EQ(QDir(cartella.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Dati.sdf")});
}

TEST(MakedbFile, AFailedWriteLeavesNoFile) {
    prova::TempFolder cartella;
    const QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    // Two lists with one id break the primary key half way.
    const std::vector<makedb::Lista> doppie{{1, QStringLiteral("A"), {"1"}}, {1, QStringLiteral("B"), {}}};
    EXPECT_THAT([&] { makedb::scriviDatabase(percorso, doppie, makedb::Vincolo::Cascata, false); },
                fallisce(OrigineFallimento::Database));
    EXPECT_TRUE(QDir(cartella.path()).isEmpty());
}

TEST(MakedbListe, GeneratedListsHaveDistinctValidBarcodes) {
    const auto liste = makedb::listeGenerate(12, 50);
    ASSERT_EQ(liste.size(), 12u);
    EXPECT_EQ(liste.front().nome, u"Lista 01");
    EXPECT_EQ(liste.back().idLista, 12);
    std::set<QString> tutti;
    for (const auto& l : liste) {
        ASSERT_EQ(l.barcode.size(), 50u);
        for (const QString& b : l.barcode) {
            ASSERT_EQ(b.size(), 13);
            EXPECT_EQ(makedb::ean13(b.left(12).toLongLong()), b);
            tutti.insert(b);
        }
    }
    EXPECT_EQ(tutti.size(), 600u);
}

TEST(MakedbListe, Ean13CheckDigitMatchesKnownCodes) {
    EXPECT_EQ(makedb::ean13(400638133393), u"4006381333931");
    EXPECT_EQ(makedb::ean13(800123456789), u"8001234567897");
    EXPECT_EQ(makedb::ean13(5), u"0000000000055");
}

TEST(MakedbListe, DemoHasMagazzinoAndAnEmptyList) {
    prova::TempFolder cartella;
    const QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    makedb::scriviDatabase(percorso, makedb::listeDemo(), makedb::Vincolo::Cascata, false);
    const auto righe = letturaDelProgramma(percorso);
    EXPECT_GE(righe.size(), 4u);
    EXPECT_TRUE(std::any_of(righe.begin(), righe.end(),
                            [](const QString& r) { return r.startsWith(u"7 - Magazzino: "); }));
    EXPECT_TRUE(std::any_of(righe.begin(), righe.end(), [](const QString& r) { return r.endsWith(u':'); }));
}

}  // namespace
}  // namespace tastalo
