#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "campioni_compact.h"
#include "store/compact/fallimento_compact.h"
#include "support/fallimento_atteso.h"
#include "support/temp_folder.h"

namespace tastalo::prova {
namespace {

using namespace tastalo::compact;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Righe = std::map<std::string, std::size_t>;
using Byte = std::vector<std::uint8_t>;

std::u16string testo(const ValoreCompact& valore) { return std::get<std::u16string>(valore); }
std::int64_t intero(const ValoreCompact& valore) { return std::get<std::int64_t>(valore); }

TEST_F(CampioniCompact, EverySampleGivesItsTablesAndRowCounts) {
    const struct {
        const char* file;
        std::uint32_t versione;
        std::uint32_t lcid;
        Righe righe;
    } casi[] = {
        {"Northwind.sdf",
         kVersione35,
         1033,
         {{"Categories", 8},
          {"Customers", 91},
          {"Employees", 15},
          {"Order Details", 2819},
          {"Orders", 1077},
          {"Products", 77},
          {"Shippers", 3},
          {"Suppliers", 29}}},
        {"code-index-3.5sp2.sdf",
         kVersione35Sp2,
         3082,
         {{"assoc_spans", 0},
          {"assoc_text", 0},
          {"base_class_parents", 0},
          {"code_item_kinds", 59},
          {"code_items", 0},
          {"config_files", 0},
          {"configs", 1},
          {"file_map", 0},
          {"file_signatures", 0},
          {"files", 0},
          {"parsers", 2},
          {"projects", 1},
          {"properties", 3},
          {"refs", 0},
          {"symbols", 0}}},
        {"empty-3.5.sdf", kVersione35, 1033, {}},
        {"schema-only-4.0.sdf", kVersione40, 5129, {{"Flags", 0}, {"Items", 0}, {"Schedules", 0}}},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.file);
        FileCompact file(campioneCompact(caso.file));
        EXPECT_EQ(file.versione(), caso.versione);
        EXPECT_EQ(file.lcid(), caso.lcid);
        EXPECT_EQ(leggiTutto(file), caso.righe);
        EXPECT_TRUE(file.invariato());
    }
}

TEST_F(CampioniCompact, NorthwindValuesAreThoseOfTheKnownDatabase) {
    FileCompact file(campioneCompact("Northwind.sdf"));

    const auto spedizionieri = righeDi(file, "Shippers", {"Shipper ID", "Company Name"});
    ASSERT_EQ(spedizionieri.size(), 3u);
    EXPECT_EQ(intero(spedizionieri[0][0]), 1);
    EXPECT_EQ(testo(spedizionieri[0][1]), u"Speedy Express");
    EXPECT_EQ(testo(spedizionieri[1][1]), u"United Package");
    EXPECT_EQ(intero(spedizionieri[2][0]), 3);
    EXPECT_EQ(testo(spedizionieri[2][1]), u"Federal Shipping");

    std::vector<std::u16string> categorie;
    for (const auto& riga : righeDi(file, "Categories", {"Category Name"}))
        categorie.push_back(testo(riga[0]));
    EXPECT_THAT(categorie, ElementsAre(u"Beverages", u"Condiments", u"Confections", u"Dairy Products",
                                       u"Grains/Cereals", u"Meat/Poultry", u"Produce", u"Seafood"));

    const auto clienti = righeDi(file, "Customers", {"Customer ID", "Company Name", "City", "Fax"});
    ASSERT_GE(clienti.size(), 3u);
    EXPECT_EQ(testo(clienti[0][0]), u"ALFKI");
    EXPECT_EQ(testo(clienti[0][1]), u"Alfreds Futterkiste");
    EXPECT_EQ(testo(clienti[0][2]), u"Berlin");
    EXPECT_EQ(testo(clienti[2][0]), u"ANTON");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(clienti[2][3]));
    EXPECT_EQ(testo(clienti[2][2]), u"M\u00e9xico D.F.");

    const auto impiegati = righeDi(file, "Employees", {"Last Name", "Birth Date"});
    ASSERT_FALSE(impiegati.empty());
    EXPECT_EQ(testo(impiegati[0][0]), u"Davolio");
    EXPECT_EQ(testoDataOra(std::get<DataOra>(impiegati[0][1])), "1948-12-08 00:00:00.000");

    const auto ordini = righeDi(file, "Orders", {"Order ID", "Order Date", "Required Date", "Freight"});
    const auto ordine =
        std::find_if(ordini.begin(), ordini.end(), [](const auto& r) { return intero(r[0]) == 10248; });
    ASSERT_NE(ordine, ordini.end());
    EXPECT_EQ(testoDenaro(std::get<Denaro>((*ordine)[3])), "32.3800");
    const auto ordinato = std::get<DataOra>((*ordine)[1]);
    EXPECT_EQ(std::get<DataOra>((*ordine)[2]), (DataOra{ordinato.giorni + 28, ordinato.tick}));

    const auto prodotti =
        righeDi(file, "Products", {"Product Name", "Unit Price", "Units In Stock", "Discontinued"});
    ASSERT_FALSE(prodotti.empty());
    EXPECT_EQ(testo(prodotti[0][0]), u"Chai");
    EXPECT_EQ(testoDenaro(std::get<Denaro>(prodotti[0][1])), "18.0000");
    EXPECT_EQ(intero(prodotti[0][2]), 39);
    EXPECT_EQ(
        std::count_if(prodotti.begin(), prodotti.end(), [](const auto& r) { return intero(r[3]) == 1; }), 8);

    const auto dettagli = righeDi(file, "Order Details", {"Discount"});
    ASSERT_FALSE(dettagli.empty());
    EXPECT_FLOAT_EQ(static_cast<float>(std::get<double>(dettagli[0][0])), 0.15f);
}

TEST_F(CampioniCompact, LongValuesReadWholeFromTheRowAndFromTheirPages) {
    FileCompact file(campioneCompact("Northwind.sdf"));
    const auto categorie = righeDi(file, "Categories", {"Description", "Picture"});
    ASSERT_EQ(categorie.size(), 8u);
    EXPECT_EQ(testo(categorie[0][0]), u"Soft drinks, coffees, teas, beer, and ale");
    for (const auto& riga : categorie) {
        // An OLE object over three pages: its header, the class, the bitmap
        // whose size the header states, and the trailer right at the end.
        const auto& immagine = std::get<Binario>(riga[1]);
        ASSERT_EQ(immagine.size(), 10782u);
        EXPECT_EQ(immagine[0], 0x15);
        EXPECT_EQ(immagine[1], 0x1C);
        EXPECT_EQ(std::memcmp(&immagine[32], "PBrush", 7), 0);
        EXPECT_EQ(std::memcmp(&immagine[82], "BM", 2), 0);
        EXPECT_EQ(immagine[78] | immagine[79] << 8, 10688);
        EXPECT_EQ(std::memcmp(&immagine[82 + 10688], "\x01\x05\0\0", 4), 0);
    }
    const auto impiegati = righeDi(file, "Employees", {"Photo", "Notes"});
    ASSERT_FALSE(impiegati.empty());
    // A bitmap over six pages, whose own header repeats its length.
    const auto& foto = std::get<Binario>(impiegati[0][0]);
    ASSERT_EQ(foto.size(), 21526u);
    EXPECT_EQ(std::memcmp(foto.data(), "BM", 2), 0);
    EXPECT_EQ(foto[2] | foto[3] << 8 | foto[4] << 16, 21526);
    const std::u16string note = testo(impiegati[0][1]);
    EXPECT_EQ(note.size(), 175u);
    EXPECT_EQ(note.substr(0, 40), u"Education includes a BA in Psychology fr");
    EXPECT_EQ(note.substr(note.size() - 14), u"International.");

    FileCompact indice(campioneCompact("code-index-3.5sp2.sdf"));
    const auto opzioni = righeDi(indice, "configs", {"config_options"});
    ASSERT_EQ(opzioni.size(), 1u);
    EXPECT_EQ(testo(opzioni[0][0]).substr(0, 9), u"/D_M_X86 ");
    EXPECT_EQ(testo(opzioni[0][0]).size(), 211u);
}

TEST_F(CampioniCompact, RowsSplitAcrossPagesReadWhole) {
    FileCompact file(campioneCompact("Northwind.sdf"));
    const auto clienti = righeDi(file, "Customers", {"Customer ID", "Fax"});
    const auto furib =
        std::find_if(clienti.begin(), clienti.end(), [](const auto& r) { return testo(r[0]) == u"FURIB"; });
    ASSERT_NE(furib, clienti.end());
    EXPECT_EQ(testo((*furib)[1]), u"(1) 354-2535");
    const auto ordini = righeDi(file, "Orders", {"Order ID", "Ship Country", "Freight"});
    ASSERT_EQ(ordini.size(), 1077u);
    for (std::size_t i = 0; i < ordini.size(); ++i)
        EXPECT_EQ(intero(ordini[i][0]), 10001 + static_cast<int>(i));
    EXPECT_EQ(testo(ordini[29][1]), u"Venezuela");
    EXPECT_EQ(testoDenaro(std::get<Denaro>(ordini[29][2])), "26.4900");
}

TEST_F(CampioniCompact, CodeIndexColumnsKeepTheirTypes) {
    FileCompact file(campioneCompact("code-index-3.5sp2.sdf"));
    const struct {
        const char* tabella;
        const char* colonna;
        std::uint16_t tipo;
        bool variabile;
    } colonne[] = {
        {"configs", "hash", 0x05, false},          {"assoc_text", "kind", 0x00, false},
        {"parsers", "parser", 0x0E, false},        {"file_signatures", "signature", 0x0B, true},
        {"config_files", "compiled", 0x0F, false}, {"code_items", "lower_name_hint", 0x07, false},
    };
    for (const auto& c : colonne) {
        SCOPED_TRACE(std::string(c.tabella) + "." + c.colonna);
        const Tabella* tabella = file.tabella(c.tabella);
        ASSERT_NE(tabella, nullptr);
        const Colonna* colonna = tabella->colonna(c.colonna);
        ASSERT_NE(colonna, nullptr);
        EXPECT_EQ(colonna->tipo, c.tipo);
        EXPECT_EQ(colonna->variabile, c.variabile);
    }
    const auto configurazioni = righeDi(file, "configs", {"hash", "name"});
    ASSERT_EQ(configurazioni.size(), 1u);
    EXPECT_EQ(intero(configurazioni[0][0]), 4001302668779135645);
    EXPECT_EQ(testo(configurazioni[0][1]), u"Template|Win32");
    const auto parser = righeDi(file, "parsers", {"parser", "short_name"});
    ASSERT_EQ(parser.size(), 2u);
    EXPECT_EQ(testoGuid(std::get<Guid>(parser[0][0])), "b5e9bd32-6d3e-4b5d-925e-8a43b79820b4");
    EXPECT_EQ(testo(parser[0][1]), u"cpp");
}

TEST_F(CampioniCompact, TablesAndColumnsAreFoundWithoutRegardToCase) {
    FileCompact file(campioneCompact("Northwind.sdf"));
    const Tabella* dettagli = file.tabella("order DETAILS");
    ASSERT_NE(dettagli, nullptr);
    EXPECT_EQ(dettagli->nome, "Order Details");
    ASSERT_NE(dettagli->colonna("UNIT price"), nullptr);
    EXPECT_EQ(dettagli->colonna("UNIT price")->nome, "Unit Price");
    EXPECT_EQ(dettagli->colonna("Unit"), nullptr);
    EXPECT_EQ(file.tabella("Order"), nullptr);

    Tabella assente = *dettagli;
    assente.nome = "Ordini";
    EXPECT_THAT([&] { file.scorriRighe(assente, [](const Riga&) { return true; }); },
                fallisce(OrigineFallimento::FileCompact, kTabellaAssente, HasSubstr("Ordini")));
}

TEST_F(CampioniCompact, FilesThatCannotBeReadAreRefusedWithTheirOwnCode) {
    TempFolder cartella;
    const auto percorso = [&](const char* nome) {
        return std::filesystem::path(cartella.file(QString::fromUtf8(nome)).toStdU16String());
    };
    const std::string testo(8192, 'x');
    scrivi(percorso("testo.sdf"), Byte(testo.begin(), testo.end()));
    scrivi(percorso("corto.sdf"), Byte(100, 0));
    const struct {
        std::filesystem::path file;
        std::int32_t codice;
        const char* parole;
    } casi[] = {
        {campioneCompact("encrypted-3.5.sdf"), kFileCifrato, "il file è cifrato"},
        {percorso("manca.sdf"), kFileIlleggibile, "manca.sdf"},
        {percorso("corto.sdf"), kFileTroncato, "100 byte"},
        {percorso("testo.sdf"), kFileDanneggiato, "SQL Server Compact"},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.file.string());
        EXPECT_THAT([&] { FileCompact file(caso.file); },
                    fallisce(OrigineFallimento::FileCompact, caso.codice, HasSubstr(caso.parole)));
    }
}

TEST_F(CampioniCompact, ContentSaysYesToCompactFilesOnly) {
    for (const char* nome : {"Northwind.sdf", "code-index-3.5sp2.sdf", "empty-3.5.sdf", "schema-only-4.0.sdf",
                             "encrypted-3.5.sdf"}) {
        const auto byte = byteDi(campioneCompact(nome));
        EXPECT_TRUE(sembraCompact(byte.data(), byte.size())) << nome;
        EXPECT_FALSE(sembraCompact(byte.data(), 4095)) << nome;
    }
    std::vector<std::uint8_t> sqlite(4096, 0);
    std::memcpy(sqlite.data(), "SQLite format 3\0\x10\0\x01\x01", 20);
    EXPECT_FALSE(sembraCompact(sqlite.data(), sqlite.size()));
    const std::string righe(4096, 'x');
    std::vector<std::uint8_t> testoSemplice(righe.begin(), righe.end());
    EXPECT_FALSE(sembraCompact(testoSemplice.data(), testoSemplice.size()));
}

}  // namespace
}  // namespace tastalo::prova
