#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <filesystem>

#include "converti_compact.h"
#include "database_liste.h"
#include "store/compact/fallimento_compact.h"
#include "support/compact/liste_compact.h"
#include "support/compact/scrittore_compact.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"
#include "support/temp_folder.h"

namespace tastalo {
namespace {

using namespace prova::compact;
using prova::fallisce;

const QString kCampioni = QStringLiteral(TASTALO_CAMPIONI_COMPACT);

std::filesystem::path percorso(const QString& q) { return q.toStdU16String(); }

std::string identificatore(const std::string& nome) {
    std::string out = "\"";
    for (const char c : nome) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// Each row as SQLite quotes its values, in rowid order: 'text', 12, 1.5,
// X'00FF', NULL.
std::vector<std::string> righe(const QString& file, const std::string& tabella) {
    SQLite::Database db(file.toStdString(), SQLite::OPEN_READONLY);
    std::vector<std::string> colonne;
    SQLite::Statement info(db, "SELECT name FROM pragma_table_info(?)");
    info.bind(1, tabella);
    while (info.executeStep()) colonne.push_back(info.getColumn(0).getString());
    std::string sql = "SELECT ";
    for (const std::string& c : colonne) {
        sql += (c == colonne.front() ? "quote(" : " || ', ' || quote(") + identificatore(c) + ")";
    }
    SQLite::Statement q(db, sql + " FROM " + identificatore(tabella) + " ORDER BY rowid");
    std::vector<std::string> out;
    while (q.executeStep()) out.push_back(q.getColumn(0).getString());
    return out;
}

std::vector<std::string> colonne(const QString& file, const std::string& tabella) {
    SQLite::Database db(file.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement info(db, "SELECT name || ' ' || type FROM pragma_table_info(?)");
    info.bind(1, tabella);
    std::vector<std::string> out;
    while (info.executeStep()) out.push_back(info.getColumn(0).getString());
    return out;
}

QStringList fileIn(const prova::TempFolder& cartella) {
    return QDir(cartella.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

TEST(ConvertiCompact, EveryTypeKeepsItsValueAndOrderUnderQuotedNames) {
    const TabellaScritta tipi{
        "Tipi \"tutti\"",
        {{"piccolo", tipo::kTinyint},
         {"medio", tipo::kSmallint},
         {"intero", tipo::kInt},
         {"grande", tipo::kBigint},
         {"sì", tipo::kBit},
         {"reale", tipo::kReal},
         {"doppio", tipo::kFloat},
         {"testo", tipo::kNvarchar},
         {"nota", tipo::kNtext},
         {"byte", tipo::kVarbinary},
         {"quando", tipo::kDatetime},
         {"prezzo", tipo::kMoney},
         {"id \"guid\"", tipo::kUniqueidentifier}},
        {{std::int64_t{255}, std::int64_t{-32768}, std::int64_t{-7}, std::int64_t{INT64_MIN}, std::int64_t{1},
          1.5, -0.1, std::u16string(u"Città ☃"), std::u16string(u"l'ntext"), compact::Binario{0, 1, 254, 255},
          compact::DataOra{17'873, 300 * 3600 + 1}, compact::Denaro{323'800},
          compact::Guid{{0xff, 0x19, 0x96, 0x6f, 0x86, 0x8b, 0x11, 0xd0, 0xb4, 0x2d, 0x00, 0xc0, 0x4f, 0xc9,
                         0x64, 0xff}}},
         {std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{},
          std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{},
          std::monostate{}, std::monostate{}, std::monostate{}},
         {std::int64_t{0}, std::int64_t{0}, std::int64_t{0}, std::int64_t{0}, std::int64_t{0}, 0.0, 0.0,
          std::u16string(), std::u16string(), compact::Binario{}, compact::DataOra{-1, 0},
          compact::Denaro{-1}, compact::Guid{}}}};
    prova::TempFolder cartella;
    scriviFileCompact(percorso(cartella.file("tipi.sdf")), {tipi, {"vuota", {{"n", tipo::kInt}}, {}}});

    const makedb::Conversione fatta =
        makedb::convertiCompact(cartella.file("tipi.sdf"), cartella.file("tipi.db"));
    EXPECT_EQ(fatta.tabelle, 2u);
    EXPECT_EQ(fatta.righe, 3u);
    const QString db = cartella.file("tipi.db");
    EXPECT_EQ(
        colonne(db, "Tipi \"tutti\""),
        (std::vector<std::string>{"piccolo INTEGER", "medio INTEGER", "intero INTEGER", "grande INTEGER",
                                  "sì INTEGER", "reale REAL", "doppio REAL", "testo TEXT", "nota TEXT",
                                  "byte BLOB", "quando TEXT", "prezzo TEXT", "id \"guid\" TEXT"}));
    EXPECT_EQ(righe(db, "Tipi \"tutti\""),
              (std::vector<std::string>{
                  "255, -32768, -7, -9223372036854775808, 1, 1.5, -0.1, 'Città ☃', 'l''ntext', X'0001FEFF', "
                  "'1948-12-08 01:00:00.003', '32.3800', '6f9619ff-8b86-d011-b42d-00c04fc964ff'",
                  "NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL",
                  "0, 0, 0, 0, 0, 0.0, 0.0, '', '', X'', '1899-12-31 00:00:00.000', '-0.0001', "
                  "'00000000-0000-0000-0000-000000000000'"}));
    EXPECT_TRUE(righe(db, "vuota").empty());
    EXPECT_EQ(colonne(db, "vuota"), std::vector<std::string>{"n INTEGER"});
    EXPECT_EQ(fileIn(cartella), (QStringList{"tipi.db", "tipi.sdf"}));
}

TEST(ConvertiCompact, ListsOverManyPagesKeepTheirOrderPastOlderCopies) {
    std::vector<ListaScritta> liste{{3, u"Tre", {}}, {1, u"Uno", {}}};
    for (int i = 0; i < 5000; ++i) liste[i % 2].barcode.push_back(u"8001" + std::u16string(i % 50 + 1, u'0'));
    Opzioni opzioni;
    opzioni.copieVecchie = true;
    prova::TempFolder cartella;
    scriviFileCompact(percorso(cartella.file("liste.sdf")), databaseListe(liste), opzioni);

    makedb::convertiCompact(cartella.file("liste.sdf"), cartella.file("liste.db"));
    EXPECT_EQ(righe(cartella.file("liste.db"), "liste"), (std::vector<std::string>{"3, 'Tre'", "1, 'Uno'"}));
    const std::vector<std::string> movimenti = righe(cartella.file("liste.db"), "movimenti");
    std::vector<std::string> attesi;
    for (const ListaScritta& lista : liste) {
        for (const std::u16string& barcode : lista.barcode) {
            attesi.push_back(std::to_string(attesi.size() + 1) + ", " + std::to_string(lista.idLista) +
                             ", '" + std::string(barcode.begin(), barcode.end()) + "'");
        }
    }
    EXPECT_EQ(movimenti, attesi);
}

// The lists' names in the order the program lists them from a file.
std::vector<QString> nomiInOrdine(const QString& file) {
    const ArchivioListe archivio(prova::kAttesaBreve);
    auto liste = archivio.queryListe(costruisciStringaConnessione(file));
    std::vector<QString> nomi;
    for (; !liste->allaFine(); liste->avanti()) nomi.push_back(liste->campo(1).comeTesto());
    return nomi;
}

TEST(ConvertiCompact, TheCopyListsTheListsInTheSourcesOrderWhateverTheirCase) {
    prova::TempFolder cartella;
    scriviFileCompact(
        percorso(cartella.file("liste.sdf")),
        databaseListe({{1, u"Beta", {}}, {2, u"alfa", {}}, {3, u"gamma", {}}, {4, u"ALFIERE", {}}}));
    makedb::convertiCompact(cartella.file("liste.sdf"), cartella.file("liste.db"));
    const std::vector<QString> attesi{"alfa", "ALFIERE", "Beta", "gamma"};
    EXPECT_EQ(nomiInOrdine(cartella.file("liste.sdf")), attesi);
    EXPECT_EQ(nomiInOrdine(cartella.file("liste.db")), attesi);
}

TEST(ConvertiCompact, AFailureLeavesNoFileBehind) {
    struct Caso {
        const char* nome;
        std::vector<std::uint8_t> sorgente;  // none: no source file
        const char* destinazioneEsistente;
        OrigineFallimento origine;
        std::int32_t codice;
    };
    const std::vector<TabellaScritta> tabelle = databaseListe({{1, u"Alfa", {u"1", u"2"}}});
    Opzioni cifrato;
    cifrato.marcaCifratura = true;
    std::vector<std::uint8_t> troncato = scriviFileCompact(tabelle);
    troncato.resize(2 * 4096);
    const std::vector<Caso> casi{
        {"encrypted", scriviFileCompact(tabelle, cifrato), nullptr, OrigineFallimento::FileCompact,
         compact::kFileCifrato},
        {"truncated", troncato, nullptr, OrigineFallimento::FileCompact, compact::kFileTroncato},
        {"no source", {}, nullptr, OrigineFallimento::FileCompact, compact::kFileIlleggibile},
        {"a table SQLite reserves",
         scriviFileCompact({{"sqlite_tabella", {{"n", tipo::kInt}}, {{std::int64_t{1}}}}}), nullptr,
         OrigineFallimento::Database, 1},
        {"destination there", scriviFileCompact(tabelle), "di un altro programma",
         OrigineFallimento::Programma, makedb::kFileEsistente},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        prova::TempFolder cartella;
        QStringList attesi;
        if (!caso.sorgente.empty()) {
            cartella.write("sorgente.sdf", QByteArray(reinterpret_cast<const char*>(caso.sorgente.data()),
                                                      static_cast<qsizetype>(caso.sorgente.size())));
            attesi << "sorgente.sdf";
        }
        if (caso.destinazioneEsistente) {
            cartella.write("dati.db", caso.destinazioneEsistente);
            attesi.prepend("dati.db");
        }
        EXPECT_THAT([&] { makedb::convertiCompact(cartella.file("sorgente.sdf"), cartella.file("dati.db")); },
                    fallisce(caso.origine, caso.codice));
        EXPECT_EQ(fileIn(cartella), attesi);
        if (caso.destinazioneEsistente) {
            EXPECT_EQ(cartella.read("dati.db"), caso.destinazioneEsistente);
        }
    }
}

TEST(ConvertiCompact, NorthwindSampleConvertsWhole) {
    const QString northwind = kCampioni + "/Northwind.sdf";
    if (!QFile::exists(northwind)) GTEST_SKIP() << "sample files absent: " << northwind.toStdString();
    prova::TempFolder cartella;
    const makedb::Conversione fatta = makedb::convertiCompact(northwind, cartella.file("northwind.db"));
    EXPECT_EQ(fatta.tabelle, 8u);

    SQLite::Database db(cartella.file("northwind.db").toStdString(), SQLite::OPEN_READONLY);
    const auto valore = [&](const char* sql) { return db.execAndGet(sql).getString(); };
    EXPECT_EQ(valore("SELECT count(*) FROM sqlite_master WHERE type = 'table'"), "8");
    EXPECT_EQ(valore("SELECT count(*) FROM \"Order Details\""), "2819");
    EXPECT_EQ(valore("SELECT \"Unit Price\" FROM Products WHERE \"Product Name\" = 'Chai'"), "18.0000");
    EXPECT_EQ(valore("SELECT Freight FROM Orders WHERE \"Order ID\" = 10248"), "32.3800");
    EXPECT_EQ(valore("SELECT \"Birth Date\" FROM Employees WHERE \"Last Name\" = 'Davolio'"),
              "1948-12-08 00:00:00.000");
    EXPECT_EQ(valore("SELECT quote(Fax) FROM Customers WHERE \"Customer ID\" = 'ANTON'"), "NULL");
    EXPECT_EQ(valore("SELECT group_concat(\"Company Name\", '|') FROM Shippers"),
              "Speedy Express|United Package|Federal Shipping");
    EXPECT_EQ(valore("SELECT min(\"Order ID\") || '-' || max(\"Order ID\") || '-' || count(*) FROM Orders"),
              "10001-11077-1077");
}

}  // namespace
}  // namespace tastalo
