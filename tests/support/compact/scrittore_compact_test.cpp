#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "store/compact/fallimento_compact.h"
#include "store/compact/file_compact.h"
#include "support/compact/liste_compact.h"
#include "support/compact/scrittore_compact.h"
#include "support/fallimento_atteso.h"
#include "support/temp_folder.h"

namespace tastalo::prova {
namespace {

namespace lettore = tastalo::compact;
using namespace tastalo::prova::compact;

std::u16string testo(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// A file written in a fresh folder, opened with the program's reader.
class FileScritto {
public:
    explicit FileScritto(const std::vector<TabellaScritta>& tabelle, const Opzioni& opzioni = {})
        : m_percorso(m_cartella.file(QStringLiteral("scritto.sdf")).toStdU16String()) {
        scriviFileCompact(m_percorso, tabelle, opzioni);
    }
    const std::filesystem::path& percorso() const { return m_percorso; }

private:
    TempFolder m_cartella;
    std::filesystem::path m_percorso;
};

// Every row of a table as the reader hands it over, column by column.
std::vector<RigaScritta> righe(lettore::FileCompact& file, const std::string& nome) {
    const lettore::Tabella* tabella = file.tabella(nome);
    if (!tabella) return {};
    std::vector<RigaScritta> out;
    file.scorriRighe(*tabella, [&](const lettore::Riga& riga) {
        RigaScritta r;
        for (const lettore::Colonna& c : tabella->colonne) r.push_back(riga.valore(c));
        out.push_back(std::move(r));
        return true;
    });
    return out;
}

TabellaScritta tuttiITipi() {
    TabellaScritta t{"Tutti i tipi",
                     {{"piccolo", tipo::kTinyint},
                      {"medio", tipo::kSmallint},
                      {"intero", tipo::kInt},
                      {"grande", tipo::kBigint},
                      {"testo", tipo::kNvarchar, 8000},
                      {"nota", tipo::kNtext},
                      {"byte", tipo::kVarbinary, 100},
                      {"quando", tipo::kDatetime},
                      {"guid", tipo::kUniqueidentifier},
                      {"sì", tipo::kBit},
                      {"reale", tipo::kReal},
                      {"doppio", tipo::kFloat},
                      {"prezzo", tipo::kMoney},
                      {"no", tipo::kBit, 0, false}},
                     {}};
    t.righe = {
        {std::int64_t{255}, std::int64_t{-32768}, std::int64_t{-2147483647 - 1}, std::int64_t{INT64_MIN},
         std::u16string(u"Latin-1: caffè"), std::u16string(u"Perù ☃"), lettore::Binario{0, 1, 254, 255},
         lettore::DataOra{-53690, 25'919'999},
         lettore::Guid{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}}, std::int64_t{1}, 1.5, -1e300,
         lettore::Denaro{-1}, std::int64_t{0}},
        {std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{},
         std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{},
         std::monostate{}, std::monostate{}, std::monostate{}, std::int64_t{1}},
        {std::int64_t{0}, std::int64_t{32767}, std::int64_t{2147483647}, std::int64_t{INT64_MAX},
         std::u16string(u"UTF-16 \U0001F600 €"), std::u16string(), lettore::Binario{},
         lettore::DataOra{40000, 0}, lettore::Guid{}, std::int64_t{0}, -0.25, 0.1,
         lettore::Denaro{922337203685477580}, std::int64_t{1}},
    };
    return t;
}

TEST(ScrittoreCompact, AListDatabaseOf32767BarcodesReadsBackWholeAndInOrder) {
    std::vector<ListaScritta> liste{{7, u"Magazzino", {}}, {9, u"Città ☃", {}}, {12, u"Vuota", {}}};
    for (int i = 0; i < 32767; ++i) liste[i % 2].barcode.push_back(testo(std::to_string(8001234500000 + i)));
    const FileScritto scritto(databaseListe(liste));

    lettore::FileCompact file(scritto.percorso());
    EXPECT_EQ(file.versione(), lettore::kVersione35);
    EXPECT_EQ(file.lcid(), 1033u);
    ASSERT_EQ(file.tabelle().size(), 2u);
    const lettore::Tabella* movimenti = file.tabella("MOVIMENTI");
    ASSERT_NE(movimenti, nullptr);
    ASSERT_NE(movimenti->colonna("barcode"), nullptr);
    EXPECT_EQ(movimenti->colonna("barcode")->posizione, 2);

    EXPECT_EQ(righe(file, "liste"), (std::vector<RigaScritta>{{std::int64_t{7}, std::u16string(u"Magazzino")},
                                                              {std::int64_t{9}, std::u16string(u"Città ☃")},
                                                              {std::int64_t{12}, std::u16string(u"Vuota")}}));
    const std::vector<RigaScritta> letti = righe(file, "movimenti");
    ASSERT_EQ(letti.size(), 32767u);
    std::size_t sbagliate = 0;
    std::int64_t idMovimento = 0;
    for (const ListaScritta& lista : liste) {
        for (const std::u16string& barcode : lista.barcode) {
            const RigaScritta attesa{idMovimento + 1, std::int64_t{lista.idLista}, barcode};
            if (letti[idMovimento++] != attesa && sbagliate++ < 3) {
                ADD_FAILURE() << "movimento " << idMovimento << " diverso";
            }
        }
    }
    EXPECT_EQ(sbagliate, 0u);
}

TEST(ScrittoreCompact, EveryTypeAndNullReadsBackAsWritten) {
    const TabellaScritta tabella = tuttiITipi();
    const FileScritto scritto({tabella});
    lettore::FileCompact file(scritto.percorso());
    const lettore::Tabella* letta = file.tabella("TUTTI I TIPI");
    ASSERT_NE(letta, nullptr);
    ASSERT_EQ(letta->colonne.size(), tabella.colonne.size());
    for (std::size_t c = 0; c < tabella.colonne.size(); ++c) {
        EXPECT_EQ(letta->colonne[c].nome, tabella.colonne[c].nome);
        EXPECT_EQ(letta->colonne[c].tipo, tabella.colonne[c].tipo) << tabella.colonne[c].nome;
    }
    EXPECT_EQ(letta->colonna("SÌ"), &letta->colonne[9]);
    EXPECT_EQ(righe(file, "Tutti i tipi"), tabella.righe);
}

TEST(ScrittoreCompact, RowsLongerThanWhatIsLeftOfAPageAreSplitAndReadWhole) {
    // Rows of 1 to 3 pages, one-byte and UTF-16, between short ones, so
    // that splits fall at every place of a row.
    TabellaScritta t{"lunghe", {{"n", tipo::kInt}, {"testo", tipo::kNvarchar, 8000}}, {}};
    for (int i = 0; i < 60; ++i) {
        const std::size_t lunghezza = static_cast<std::size_t>(i * 67 % 4000);
        t.righe.push_back({std::int64_t{i}, std::u16string(lunghezza, i % 3 ? u'x' : u'€')});
    }
    const FileScritto scritto({t});
    lettore::FileCompact file(scritto.percorso());
    EXPECT_EQ(righe(file, "lunghe"), t.righe);
}

TEST(ScrittoreCompact, OlderCopiesOfPagesAndMapAreNotRead) {
    std::vector<TabellaScritta> tabelle = databaseListe({{1, u"Alfa", {u"1", u"2", u"3"}}, {2, u"Beta", {}}});
    TabellaScritta lunghe{"lunghe", {{"testo", tipo::kNvarchar, 4000}}, {}};
    for (int i = 0; i < 400; ++i) lunghe.righe.push_back({testo(std::string(100 + i, 'a' + i % 26))});
    tabelle.push_back(lunghe);

    Opzioni vecchie;
    vecchie.copieVecchie = true;
    const FileScritto semplice(tabelle);
    const FileScritto conCopie(tabelle, vecchie);
    // The copies are there (so a reader that scanned pages would find them)...
    EXPECT_GT(std::filesystem::file_size(conCopie.percorso()),
              std::filesystem::file_size(semplice.percorso()) + 4096 * 10);
    // ...and the reader sees only the current pages.
    lettore::FileCompact file(conCopie.percorso());
    EXPECT_EQ(file.tabelle().size(), 3u);
    EXPECT_EQ(file.tabella("Vecchia"), nullptr);
    for (const TabellaScritta& t : tabelle) EXPECT_EQ(righe(file, t.nome), t.righe) << t.nome;

    // With no table at all the older catalog page is one no map names.
    const FileScritto vuoto({}, vecchie);
    EXPECT_TRUE(lettore::FileCompact(vuoto.percorso()).tabelle().empty());
}

TEST(ScrittoreCompact, AFileLongerThanOneMapPageReadsBack) {
    // Rows of 3000 bytes: past the 1527 logical ids of the first map page.
    TabellaScritta t{"pagine", {{"n", tipo::kInt}, {"riempitivo", tipo::kNvarchar, 8000}}, {}};
    for (int i = 0; i < 2400; ++i) t.righe.push_back({std::int64_t{i}, testo(std::string(3000, 'p'))});
    const FileScritto scritto({t});
    ASSERT_GT(std::filesystem::file_size(scritto.percorso()), 1527u * 4096);
    lettore::FileCompact file(scritto.percorso());
    EXPECT_EQ(righe(file, "pagine"), t.righe);
}

TEST(ScrittoreCompact, HeaderOptionsReachTheReader) {
    const TabellaScritta t{"t", {{"n", tipo::kInt}}, {{std::int64_t{1}}}};
    for (const std::uint32_t versione : {kVersione35, kVersione35Sp2, kVersione40}) {
        Opzioni opzioni;
        opzioni.versione = versione;
        opzioni.lcid = 3082;
        const FileScritto scritto({t}, opzioni);
        lettore::FileCompact file(scritto.percorso());
        EXPECT_EQ(file.versione(), versione);
        EXPECT_EQ(file.lcid(), 3082u);
        EXPECT_EQ(righe(file, "t"), t.righe);
    }
    Opzioni cifrato;
    cifrato.marcaCifratura = true;
    const FileScritto scritto({t}, cifrato);
    EXPECT_THAT([&] { lettore::FileCompact file(scritto.percorso()); },
                fallisce(OrigineFallimento::FileCompact, lettore::kFileCifrato));
}

TEST(ScrittoreCompact, TablesTheEngineWouldNotHoldAreRefused) {
    const auto tabella = [](std::uint16_t t, ValoreScritto v, std::uint32_t massimo = 0,
                            bool nullabile = true) {
        return std::vector<TabellaScritta>{{"t", {{"c", t, massimo, nullabile}}, {{std::move(v)}}}};
    };
    const std::vector<std::pair<const char*, std::vector<TabellaScritta>>> casi{
        {"text in an int", tabella(tipo::kInt, std::u16string(u"1"))},
        {"int past 32 bits", tabella(tipo::kInt, std::int64_t{1} << 31)},
        {"bit of 2", tabella(tipo::kBit, std::int64_t{2})},
        {"tinyint below 0", tabella(tipo::kTinyint, std::int64_t{-1})},
        {"nvarchar past its length", tabella(tipo::kNvarchar, std::u16string(6, u'x'), 10)},
        {"ntext too long to stay in the row", tabella(tipo::kNtext, std::u16string(129, u'x'))},
        {"null where not nullable", tabella(tipo::kInt, std::monostate{}, 0, false)},
        {"datetime past midnight", tabella(tipo::kDatetime, lettore::DataOra{0, 300 * 86'400})},
        {"unknown type", tabella(0x13, std::int64_t{1})},
        {"name past Latin-1", {{"t☃", {{"c", tipo::kInt}}, {}}}},
        {"two tables of one name", {{"T", {{"c", tipo::kInt}}, {}}, {"t", {{"c", tipo::kInt}}, {}}}},
        {"a row of two values for one column",
         {{"t", {{"c", tipo::kInt}}, {{std::int64_t{1}, std::int64_t{2}}}}}},
    };
    for (const auto& [caso, tabelle] : casi) {
        EXPECT_THROW(scriviFileCompact(tabelle), std::invalid_argument) << caso;
    }
}

// Tables defined as in the Northwind sample: the reader finds the same
// column layout in the engine's catalog and in the writer's.
TEST(ScrittoreCompact, CatalogOfNorthwindTablesMatchesTheEngines) {
    const std::filesystem::path campione = std::filesystem::path(TASTALO_CAMPIONI_COMPACT) / "Northwind.sdf";
    if (!std::filesystem::exists(campione)) GTEST_SKIP() << "sample files absent: " << campione;
    const std::vector<TabellaScritta> tabelle{
        {"Products",
         {{"Product ID", tipo::kInt, 0, false, true},
          {"Supplier ID", tipo::kInt},
          {"Category ID", tipo::kInt},
          {"Product Name", tipo::kNvarchar, 80, false},
          {"English Name", tipo::kNvarchar, 80},
          {"Quantity Per Unit", tipo::kNvarchar, 40},
          {"Unit Price", tipo::kMoney},
          {"Units In Stock", tipo::kSmallint},
          {"Units On Order", tipo::kSmallint},
          {"Reorder Level", tipo::kSmallint},
          {"Discontinued", tipo::kBit, 0, false}},
         {}},
        {"Order Details",
         {{"Order ID", tipo::kInt, 0, false},
          {"Product ID", tipo::kInt, 0, false},
          {"Unit Price", tipo::kMoney, 0, false},
          {"Quantity", tipo::kSmallint, 0, false},
          {"Discount", tipo::kReal, 0, false}},
         {}},
        {"Employees",
         {{"Employee ID", tipo::kInt, 0, false, true},
          {"Last Name", tipo::kNvarchar, 40, false},
          {"First Name", tipo::kNvarchar, 20, false},
          {"Title", tipo::kNvarchar, 60},
          {"Birth Date", tipo::kDatetime},
          {"Hire Date", tipo::kDatetime},
          {"Address", tipo::kNvarchar, 120},
          {"City", tipo::kNvarchar, 30},
          {"Region", tipo::kNvarchar, 30},
          {"Postal Code", tipo::kNvarchar, 20},
          {"Country", tipo::kNvarchar, 30},
          {"Home Phone", tipo::kNvarchar, 48},
          {"Extension", tipo::kNvarchar, 8},
          {"Photo", tipo::kVarbinary},
          {"Notes", tipo::kNtext},
          {"Reports To", tipo::kInt}},
         {}},
    };
    const FileScritto scritto(tabelle);
    lettore::FileCompact motore(campione);
    lettore::FileCompact nostro(scritto.percorso());
    for (const TabellaScritta& t : tabelle) {
        const lettore::Tabella* attesa = motore.tabella(t.nome);
        const lettore::Tabella* letta = nostro.tabella(t.nome);
        ASSERT_TRUE(attesa && letta) << t.nome;
        ASSERT_EQ(letta->colonne.size(), attesa->colonne.size()) << t.nome;
        for (std::size_t c = 0; c < attesa->colonne.size(); ++c) {
            const lettore::Colonna& a = attesa->colonne[c];
            const lettore::Colonna& l = letta->colonne[c];
            SCOPED_TRACE(t.nome + "." + a.nome);
            EXPECT_EQ(l.nome, a.nome);
            EXPECT_EQ(l.posizione, a.posizione);
            // Photo is an image in the sample, a varbinary here: same layout.
            EXPECT_EQ(l.tipo, a.tipo == tipo::kImage ? tipo::kVarbinary : a.tipo);
            EXPECT_EQ(l.lunghezzaMassima, a.lunghezzaMassima);
            EXPECT_EQ(l.variabile, a.variabile);
            EXPECT_EQ(l.offsetOIndice, a.offsetOIndice);
        }
    }
}

}  // namespace
}  // namespace tastalo::prova
