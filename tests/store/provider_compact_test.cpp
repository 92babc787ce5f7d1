// The store on a SQL Server Compact file where the engine's OLE DB provider
// is installed (Windows): the stand-in of support/oledb_sostituto, over an
// SQLite file of its own beside the Compact one, answers the statements.
// Which of the two files the rows come from tells which store answered.
#include <gtest/gtest.h>
#include <oledberr.h>
#include <windows.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include <QFile>
#include <functional>
#include <optional>

#include "store/compact/fallimento_compact.h"
#include "store/elenco_liste.h"
#include "support/compact/liste_compact.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"
#include "support/registrazione_sostituto.h"

namespace tastalo {
namespace {

namespace scritto = prova::compact;
using prova::fallisce;

// The tables as the barcode collectors declare them in a Compact file.
const std::string kTabelle =
    "CREATE TABLE liste(idLista int PRIMARY KEY, lista nvarchar(100) COLLATE NOCASE);"
    "CREATE TABLE movimenti(idLista int REFERENCES liste ON DELETE CASCADE, Barcode nvarchar(100));";
const std::string kListe =
    "INSERT INTO liste VALUES (7, 'Alfa'), (3, 'beta'), (12, 'Gamma');"
    "INSERT INTO movimenti VALUES (7, 'A-1'), (7, 'A-2'), (12, 'G-1');";

class ProviderCompact : public ::testing::Test {
protected:
    void SetUp() override {
        // What the reader would read instead: one list the provider's file lacks.
        scritto::scriviFileCompact(db.percorso().toStdU16String(),
                                   scritto::databaseListe({{1, u"Dal lettore", {u"L-1"}}}));
        registrazione.emplace();
    }

    QString fileSostituto() const { return prova::fileDelSostituto(db.percorso()); }
    void sostituto(const std::string& sql) const { apriSostituto(SQLite::OPEN_CREATE).exec(sql); }
    SQLite::Database apriSostituto(int modo = 0) const {
        return SQLite::Database(fileSostituto().toUtf8().toStdString(), SQLite::OPEN_READWRITE | modo);
    }
    std::vector<std::int64_t> idListe() const {
        SQLite::Database s = apriSostituto();
        SQLite::Statement q(s, "select idLista from liste order by idLista");
        std::vector<std::int64_t> ids;
        while (q.executeStep()) ids.push_back(q.getColumn(0).getInt64());
        return ids;
    }
    // Whether another program could take the provider's file away now: not
    // while anything holds it open.
    bool fileLibero() const {
        const std::wstring file = fileSostituto().toStdWString(), altrove = file + L".altrove";
        if (!MoveFileW(file.c_str(), altrove.c_str())) return false;
        return MoveFileW(altrove.c_str(), file.c_str()) != FALSE;
    }

    prova::DatabaseProva db{prova::DatabaseProva::SenzaFile{}};
    std::optional<prova::RegistrazioneSostitutoProva> registrazione;
};

TEST_F(ProviderCompact, EachFormatGoesToItsStoreAndCompactToTheProviderOnlyWhereItIsInstalled) {
    sostituto(kTabelle + kListe);
    prova::DatabaseProva sqlite;
    sqlite.lista(5, QStringLiteral("Nel file SQLite"));
    struct Caso {
        bool registrato;
        const prova::DatabaseProva& file;
        const char* primaLista;
    };
    for (const Caso& caso :
         {Caso{true, db, "Alfa"}, Caso{false, db, "Dal lettore"}, Caso{true, sqlite, "Nel file SQLite"}}) {
        if (!caso.registrato) registrazione.reset();
        const auto voci = leggiListe(db.archivio, caso.file.connessione());
        ASSERT_FALSE(voci.empty()) << caso.primaLista;
        EXPECT_EQ(voci.front().testo.section(QStringLiteral(" - "), 1), caso.primaLista);
        if (!caso.registrato) registrazione.emplace();
    }
}

TEST_F(ProviderCompact, RowsComeWholeTypedAndByNameAndNothingOfTheProviderStaysOpen) {
    // Longer than both the declared size and the first binding: read again whole.
    const QString lungo = QString(5000, u'x') + QStringLiteral("€😀");
    sostituto(kTabelle + kListe +
              "ALTER TABLE liste ADD COLUMN peso float; ALTER TABLE liste ADD COLUMN firma image;"
              "UPDATE liste SET peso = 1.5, firma = x'00ff' WHERE idLista = 7;"
              "INSERT INTO movimenti VALUES (12, NULL), (12, '" +
              lungo.toStdString() + "'), (12, 'città 𝄞');");
    {
        // The check below can fail: a connection holding the file keeps it.
        const SQLite::Database altro = apriSostituto();
        SQLite::Statement(altro, "select * from liste").executeStep();
        ASSERT_FALSE(fileLibero());
    }

    auto liste = db.archivio.queryListe(db.connessione());
    EXPECT_TRUE(fileLibero()) << "the result holds the provider's file";
    ASSERT_EQ(liste->numeroCampi(), 4);
    EXPECT_EQ(liste->indiceCampo(u"LISTA"), 1);
    EXPECT_EQ(liste->campo(0).comeIntero32(), 7);
    EXPECT_EQ(liste->campo(1).comeTesto(), "Alfa");
    EXPECT_EQ(liste->campo(2).comeTestoVisibile(), "1.5");
    EXPECT_EQ(liste->campo(3).testoVisibile(), std::nullopt) << "bytes 00 ff are no text";
    liste->avanti();
    EXPECT_EQ(liste->campo(1).comeTesto(), "beta");
    EXPECT_TRUE(liste->campo(u"peso").nullo());

    auto barcode = db.archivio.queryBarcode(db.connessione(), 12);
    std::vector<QString> letti;
    for (; !barcode->allaFine(); barcode->avanti()) {
        letti.push_back(barcode->campo(u"BarCode").nullo() ? QStringLiteral("<null>")
                                                           : barcode->campo(0).comeTesto());
    }
    EXPECT_EQ(letti, (std::vector<QString>{"G-1", "<null>", lungo, "città 𝄞"}));

    // Read again from the file as it is now.
    sostituto("DELETE FROM movimenti WHERE Barcode IS NULL OR length(Barcode) > 10");
    barcode->primo();
    EXPECT_EQ(barcode->campo(0).comeTesto(), "G-1");
    barcode->avanti();
    EXPECT_EQ(barcode->campo(0).comeTesto(), "città 𝄞");
    barcode->avanti();
    EXPECT_TRUE(barcode->allaFine());
    EXPECT_TRUE(fileLibero());
}

TEST_F(ProviderCompact, DeletionsGoThroughTheProviderAndOneThatMatchesNothingIsNoFailure) {
    const QByteArray compact = [&] {
        QFile f(db.percorso());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    struct Caso {
        const char* nome;
        std::function<void()> cancella;
        std::vector<std::int64_t> dopo;
        std::int64_t barcodeDopo;
    };
    const std::vector<Caso> casi{
        {"one list", [&] { db.archivio.cancellaLista(db.connessione(), 7); }, {3, 12}, 1},
        {"a list no longer there", [&] { db.archivio.cancellaLista(db.connessione(), 99); }, {3, 7, 12}, 3},
        {"all lists", [&] { db.archivio.cancellaTutte(db.connessione()); }, {}, 0},
    };
    for (const Caso& caso : casi) {
        QFile::remove(fileSostituto());
        sostituto(kTabelle + kListe);
        ASSERT_EQ(idListe(), (std::vector<std::int64_t>{3, 7, 12}));
        EXPECT_NO_THROW(caso.cancella()) << caso.nome;
        EXPECT_EQ(idListe(), caso.dopo) << caso.nome;
        EXPECT_EQ(apriSostituto().execAndGet("select count(*) from movimenti").getInt64(), caso.barcodeDopo)
            << caso.nome << ": the file's own rule takes the barcodes along";
        EXPECT_TRUE(fileLibero()) << caso.nome;
    }
    QFile f(db.percorso());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), compact) << "the provider wrote its own file only";
}

TEST_F(ProviderCompact, WithoutTheProviderTheReaderReadsAndDeletionIsRefused) {
    sostituto(kTabelle + kListe);
    registrazione.reset();
    EXPECT_EQ(leggiListe(db.archivio, db.connessione()).size(), 1u);
    EXPECT_THAT([&] { db.archivio.cancellaTutte(db.connessione()); },
                fallisce(OrigineFallimento::FileCompact, compact::kSolaLettura));
    EXPECT_EQ(idListe(), (std::vector<std::int64_t>{3, 7, 12}));
}

TEST_F(ProviderCompact, TheProvidersFailuresCarryItsCodeAndItsOwnWords) {
    struct Caso {
        std::string file;  // the provider's file; none when empty
        std::function<void()> operazione;
        HRESULT codice;
        const char* parole;
    };
    const auto liste = [&] { db.archivio.queryListe(db.connessione()); };
    const auto barcode = [&] { db.archivio.queryBarcode(db.connessione(), 7); };
    const auto cancella = [&] { db.archivio.cancellaLista(db.connessione(), 7); };
    const std::vector<Caso> casi{
        {"", liste, E_FAIL, "unable to open database file"},
        {"CREATE TABLE movimenti(idLista int, Barcode nvarchar(100));", liste, DB_E_ERRORSINCOMMAND,
         "no such table: liste"},
        {"CREATE TABLE movimenti(idLista int, codice nvarchar(100));", barcode, DB_E_ERRORSINCOMMAND,
         "no such column: Barcode"},
        {"CREATE TABLE liste(idLista int PRIMARY KEY, lista nvarchar(100));"
         "CREATE TABLE movimenti(idLista int REFERENCES liste, Barcode nvarchar(100));" +
             kListe,
         cancella, DB_E_INTEGRITYVIOLATION, "FOREIGN KEY constraint failed"},
    };
    for (const Caso& caso : casi) {
        QFile::remove(fileSostituto());
        if (!caso.file.empty()) sostituto(caso.file);
        EXPECT_THAT(caso.operazione,
                    fallisce(OrigineFallimento::ProviderOleDb, static_cast<std::int32_t>(caso.codice),
                             std::string("Sostituto OLE DB: ") + caso.parole));
    }
}

}  // namespace
}  // namespace tastalo
