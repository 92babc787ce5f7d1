#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include "store/istruzioni.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"

namespace tastalo::prova {
namespace {

using prova::fallisce;
using ::testing::HasSubstr;
using ::testing::Not;

class FileProva : public ::testing::Test {
protected:
    auto query() const {
        return [this] { (void)db.archivio.apriQuery(db.connessione(), istruzioni::queryListe()); };
    }
    auto cancellazione() const {
        return [this] { db.archivio.apriConnessione(db.connessione())->esegui(istruzioni::cancellaUna(7)); };
    }
    bool esiste() const { return QFileInfo::exists(db.percorso()); }

    prova::DatabaseProva db{prova::DatabaseProva::SenzaFile{}};
};

TEST_F(FileProva, AMissingFileFailsAndIsNeverCreated) {
    EXPECT_THAT(query(), fallisce(OrigineFallimento::Database, 14));  // SQLITE_CANTOPEN
    EXPECT_FALSE(esiste());
    EXPECT_THAT(cancellazione(), fallisce(OrigineFallimento::Database, 14));
    EXPECT_TRUE(QDir(db.cartella.path()).isEmpty());
}

TEST_F(FileProva, AFileInAMissingFolderFailsAndNoFolderAppears) {
    db.configurazione.PercorsoDatabase = db.cartella.file(QStringLiteral("manca/Dati.sdf"));
    EXPECT_THAT(query(), fallisce(OrigineFallimento::Database, 14));
    EXPECT_THAT(cancellazione(), fallisce(OrigineFallimento::Database, 14));
    EXPECT_TRUE(QDir(db.cartella.path()).isEmpty());
}

TEST_F(FileProva, AConnectionStringWithoutAFileNeverOpensATemporaryDatabase) {
    for (const QString& stringa :
         {costruisciStringaConnessione(QString()), costruisciStringaConnessione(QStringLiteral(":memory:")),
          QStringLiteral("Provider=x;")}) {
        SCOPED_TRACE(stringa.toStdString());
        EXPECT_THAT([&] { (void)db.archivio.apriQuery(stringa, istruzioni::queryListe()); },
                    fallisce(OrigineFallimento::Database, 14));
        EXPECT_THAT([&] { (void)db.archivio.apriConnessione(stringa); },
                    fallisce(OrigineFallimento::Database, 14));
    }
}

TEST_F(FileProva, AFileThatIsNotADatabaseFailsAndIsLeftAsItWas) {
    const QByteArray contenuto = QByteArray("Questo non è un database, ma un file di testo.\n").repeated(20);
    db.cartella.write(QStringLiteral("Dati.sdf"), contenuto);

    EXPECT_THAT(query(), fallisce(OrigineFallimento::Database, 26, Not("")));  // SQLITE_NOTADB
    EXPECT_THAT(cancellazione(), fallisce(OrigineFallimento::Database, 26));
    EXPECT_EQ(db.cartella.read(QStringLiteral("Dati.sdf")), contenuto);
}

TEST_F(FileProva, AFolderNamedLikeTheFileIsNotADatabase) {
    ASSERT_TRUE(QDir(db.cartella.path()).mkdir(QStringLiteral("Dati.sdf")));
    EXPECT_THAT(query(), fallisce(OrigineFallimento::Database));
    EXPECT_THAT(cancellazione(), fallisce(OrigineFallimento::Database));
}

// Another program holds the file locked while it writes.
class FileBloccatoProva : public FileProva {
protected:
    FileBloccatoProva() {
        makedb::scriviDatabase(db.percorso(), {{7, QStringLiteral("Magazzino"), {"8001"}}},
                               makedb::Vincolo::Cascata, false);
        altroProgramma = db.blocca();
        altroProgramma->exec("insert into liste values (8, 'In scrittura')");
    }

    std::unique_ptr<SQLite::Database> altroProgramma;
};

TEST_F(FileBloccatoProva, QueriesAndDeletesFailAsLockedAfterWaiting) {
    QElapsedTimer orologio;
    orologio.start();
    EXPECT_THAT(query(), fallisce(OrigineFallimento::Database, 5, HasSubstr("locked")));  // SQLITE_BUSY
    EXPECT_GE(orologio.elapsed(), prova::kAttesaBreve.count() * 8 / 10);
    EXPECT_THAT(cancellazione(), fallisce(OrigineFallimento::Database, 5));
    EXPECT_LT(orologio.elapsed(), 2500);  // the short wait given, not the default
}

TEST_F(FileBloccatoProva, TheListsReadOnceTheLockIsGone) {
    altroProgramma->exec("ROLLBACK");
    auto r = db.archivio.apriQuery(db.connessione(), istruzioni::queryListe());
    ASSERT_FALSE(r->allaFine());
    EXPECT_EQ(r->campo(0).comeIntero32(), 7);
    r->avanti();
    EXPECT_TRUE(r->allaFine());
}

}  // namespace
}  // namespace tastalo::prova
