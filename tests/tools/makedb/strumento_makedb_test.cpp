#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "support/compact/liste_compact.h"
#include "support/database_prova.h"

namespace tastalo {
namespace {

struct Esito {
    int codice;
    QString uscita;
    QString errore;
};

Esito esegui(const QStringList& argomenti) {
    QProcess processo;
    processo.start(QStringLiteral(TASTALO_MAKEDB), argomenti);
    if (!processo.waitForFinished(30'000)) return {-1, {}, processo.errorString()};
    return {processo.exitCode(), QString::fromUtf8(processo.readAllStandardOutput()),
            QString::fromUtf8(processo.readAllStandardError())};
}

TEST(StrumentoMakedb, DemoMakesADatabaseOnceAndThenKeepsIt) {
    const prova::DatabaseProva db{prova::DatabaseProva::SenzaFile{}};
    const QString percorso = db.percorso();
    const Esito primo = esegui({QStringLiteral("--demo"), percorso});
    ASSERT_EQ(primo.codice, 0) << primo.errore.toStdString();
    EXPECT_GT(db.conta("select count(*) from liste"), 0);
    const QByteArray fatto = db.cartella.read(QStringLiteral("Dati.sdf"));

    const Esito secondo = esegui({QStringLiteral("--lists"), QStringLiteral("2"), percorso});
    EXPECT_EQ(secondo.codice, 1);
    EXPECT_TRUE(secondo.errore.contains(u"--force")) << secondo.errore.toStdString();
    EXPECT_EQ(db.cartella.read(QStringLiteral("Dati.sdf")), fatto);

    const Esito forzato =
        esegui({QStringLiteral("--lists"), QStringLiteral("2"), QStringLiteral("--barcodes"),
                QStringLiteral("3"), QStringLiteral("--force"), percorso});
    ASSERT_EQ(forzato.codice, 0) << forzato.errore.toStdString();
    EXPECT_EQ(db.conta("select count(*) from movimenti"), 6);
}

TEST(StrumentoMakedb, CsvAndSchemaOptionsShapeTheFile) {
    const prova::DatabaseProva db{prova::DatabaseProva::SenzaFile{}};
    const prova::TempFolder& cartella = db.cartella;
    cartella.write(QStringLiteral("liste.csv"), "3;Alfa;1\n3;Alfa;2\n");
    const Esito esito = esegui({QStringLiteral("--csv"), cartella.file(QStringLiteral("liste.csv")),
                                QStringLiteral("--no-cascade"), db.percorso()});
    ASSERT_EQ(esito.codice, 0) << esito.errore.toStdString();
    EXPECT_EQ(db.conta("select count(*) from movimenti where idLista=3"), 2);
    EXPECT_EQ(db.conta("select count(*) from pragma_foreign_key_list('movimenti')"), 0);

    EXPECT_EQ(esegui({QStringLiteral("--demo"), QStringLiteral("--lists"), QStringLiteral("1"),
                      cartella.file(QStringLiteral("altro.sdf"))})
                  .codice,
              2);
    EXPECT_FALSE(QFileInfo::exists(cartella.file(QStringLiteral("altro.sdf"))));
}

TEST(StrumentoMakedb, FromCompactCopiesTheTablesOrSaysWhyNot) {
    const prova::DatabaseProva db{prova::DatabaseProva::SenzaFile{}};
    const prova::TempFolder& cartella = db.cartella;
    const QString compact = cartella.file(QStringLiteral("liste.sdf"));
    prova::compact::scriviFileCompact(compact.toStdU16String(),
                                      prova::compact::databaseListe({{4, u"Quattro", {u"40", u"41"}}}));
    const Esito fatto = esegui({QStringLiteral("--from-compact"), compact, db.percorso()});
    ASSERT_EQ(fatto.codice, 0) << fatto.errore.toStdString();
    EXPECT_EQ(fatto.uscita.trimmed(), db.percorso() + QStringLiteral(": 2 tables, 3 rows"));
    EXPECT_EQ(db.conta("select count(*) from movimenti where idLista = 4"), 2);

    // An encrypted file: made here, and the sample when there is one.
    prova::compact::Opzioni cifrato;
    cifrato.marcaCifratura = true;
    const QString nostro = cartella.file(QStringLiteral("cifrato.sdf"));
    prova::compact::scriviFileCompact(nostro.toStdU16String(), {}, cifrato);
    QStringList cifrati{nostro};
    const QString campione = QStringLiteral(TASTALO_CAMPIONI_COMPACT "/encrypted-3.5.sdf");
    if (QFileInfo::exists(campione)) cifrati << campione;
    for (const QString& sorgente : cifrati) {
        SCOPED_TRACE(sorgente.toStdString());
        const Esito rifiutato =
            esegui({QStringLiteral("--from-compact"), sorgente, cartella.file("nuovo.db")});
        EXPECT_EQ(rifiutato.codice, 1);
        EXPECT_TRUE(rifiutato.errore.startsWith(u"tastalo-makedb: ")) << rifiutato.errore.toStdString();
        EXPECT_TRUE(rifiutato.errore.contains(u"cifrat")) << rifiutato.errore.toStdString();
        EXPECT_TRUE(rifiutato.uscita.isEmpty());
    }
    EXPECT_EQ(QDir(cartella.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("Dati.sdf"), QStringLiteral("cifrato.sdf"),
                           QStringLiteral("liste.sdf")}));
}

}  // namespace
}  // namespace tastalo
