#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <optional>

#include "database_liste.h"
#include "file_prova.h"
#include "store/archivio_liste.h"

namespace tastalo {
namespace {

using test::fallimentoDi;

class FileTest : public ::testing::Test {
protected:
    QString stringa() const { return test::stringaConnessione(percorso); }

    Fallimento fallimentoQuery() const {
        return fallimentoDi([&] { (void)archivio.apriQuery(stringa(), istruzioni::queryListe()); });
    }
    Fallimento fallimentoCancellazione() const {
        return fallimentoDi([&] {
            auto c = archivio.apriConnessione(stringa());
            c->esegui(istruzioni::cancellaUna(7));
        });
    }

    test::TempFolder cartella;
    QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    ArchivioListe archivio{test::kAttesaBreve};
};

TEST_F(FileTest, AMissingFileFailsAndIsNeverCreated) {
    const Fallimento query = fallimentoQuery();
    EXPECT_EQ(query.origine(), OrigineFallimento::Database);
    EXPECT_EQ(query.codice(), 14);  // SQLITE_CANTOPEN
    EXPECT_FALSE(test::esiste(percorso));

    const Fallimento cancellazione = fallimentoCancellazione();
    EXPECT_EQ(cancellazione.codice(), 14);
    EXPECT_FALSE(test::esiste(percorso));
    EXPECT_TRUE(QDir(cartella.path()).isEmpty());
}

TEST_F(FileTest, AFileInAMissingFolderFailsAndNoFolderAppears) {
    percorso = cartella.file(QStringLiteral("manca/Dati.sdf"));
    EXPECT_EQ(fallimentoQuery().codice(), 14);
    EXPECT_EQ(fallimentoCancellazione().codice(), 14);
    EXPECT_TRUE(QDir(cartella.path()).isEmpty());
}

TEST_F(FileTest, AConnectionStringWithoutAFileNeverOpensATemporaryDatabase) {
    for (const QString& stringa :
         {test::stringaConnessione(QString()), test::stringaConnessione(QStringLiteral(":memory:")),
          QStringLiteral("Provider=Microsoft.SQLSERVER.CE.OLEDB.3.5;")}) {
        SCOPED_TRACE(stringa.toStdString());
        const Fallimento query =
            fallimentoDi([&] { (void)archivio.apriQuery(stringa, istruzioni::queryListe()); });
        EXPECT_EQ(query.origine(), OrigineFallimento::Database);
        EXPECT_EQ(query.codice(), 14);
        EXPECT_EQ(fallimentoDi([&] { (void)archivio.apriConnessione(stringa); }).codice(), 14);
    }
}

TEST_F(FileTest, AFileThatIsNotADatabaseFailsAndIsLeftAsItWas) {
    const QByteArray contenuto = QByteArray("Questo non è un database, ma un file di testo.\n").repeated(20);
    cartella.write(QStringLiteral("Dati.sdf"), contenuto);

    const Fallimento query = fallimentoQuery();
    EXPECT_EQ(query.origine(), OrigineFallimento::Database);
    EXPECT_EQ(query.codice(), 26);  // SQLITE_NOTADB
    EXPECT_FALSE(query.descrizione().empty());
    EXPECT_EQ(fallimentoCancellazione().codice(), 26);
    EXPECT_EQ(cartella.read(QStringLiteral("Dati.sdf")), contenuto);
}

TEST_F(FileTest, AFolderNamedLikeTheFileIsNotADatabase) {
    ASSERT_TRUE(QDir(cartella.path()).mkdir(QStringLiteral("Dati.sdf")));
    EXPECT_EQ(fallimentoQuery().origine(), OrigineFallimento::Database);
    EXPECT_EQ(fallimentoCancellazione().origine(), OrigineFallimento::Database);
}

// Another program holds the file locked while it writes.
class FileBloccatoTest : public FileTest {
protected:
    FileBloccatoTest() {
        makedb::scriviDatabase(percorso, {{7, QStringLiteral("Magazzino"), {"8001"}}},
                               makedb::Vincolo::Cascata, false);
        altroProgramma.emplace(test::utf8(percorso), SQLite::OPEN_READWRITE);
        altroProgramma->exec("BEGIN EXCLUSIVE");
        altroProgramma->exec("insert into liste values (8, 'In scrittura')");
    }
    // Closing the other connection ends its transaction and frees the file.

    std::optional<SQLite::Database> altroProgramma;
};

TEST_F(FileBloccatoTest, QueriesAndDeletesFailAsLockedAfterWaiting) {
    QElapsedTimer orologio;
    orologio.start();
    const Fallimento query = fallimentoQuery();
    EXPECT_GE(orologio.elapsed(), test::kAttesaBreve.count() * 8 / 10);
    EXPECT_EQ(query.origine(), OrigineFallimento::Database);
    EXPECT_EQ(query.codice(), 5);  // SQLITE_BUSY
    EXPECT_NE(query.descrizione().find("locked"), std::string::npos);

    EXPECT_EQ(fallimentoCancellazione().codice(), 5);
    EXPECT_LT(orologio.elapsed(), 2500);  // the short wait given, not the default
}

TEST_F(FileBloccatoTest, TheListsReadOnceTheLockIsGone) {
    altroProgramma->exec("ROLLBACK");
    auto r = archivio.apriQuery(stringa(), istruzioni::queryListe());
    ASSERT_FALSE(r->allaFine());
    EXPECT_EQ(r->campo(0).comeIntero32(), 7);
    r->avanti();
    EXPECT_TRUE(r->allaFine());
}

}  // namespace
}  // namespace tastalo
