#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>

#include "support/database_prova.h"

namespace tastalo {
namespace {

struct Esito {
    int codice;
    QString uscita;
};

Esito esegui(const QStringList& argomenti) {
    QProcess processo;
    processo.setProcessChannelMode(QProcess::MergedChannels);
    processo.start(QStringLiteral(TASTALO_MAKEDB), argomenti);
    if (!processo.waitForFinished(30'000)) return {-1, processo.errorString()};
    return {processo.exitCode(), QString::fromUtf8(processo.readAll())};
}

TEST(StrumentoMakedb, DemoMakesADatabaseOnceAndThenKeepsIt) {
    const prova::DatabaseProva db{prova::DatabaseProva::SenzaFile{}};
    const QString percorso = db.percorso();
    const Esito primo = esegui({QStringLiteral("--demo"), percorso});
    ASSERT_EQ(primo.codice, 0) << primo.uscita.toStdString();
    EXPECT_GT(db.conta("select count(*) from liste"), 0);
    const QByteArray fatto = db.cartella.read(QStringLiteral("Dati.sdf"));

    const Esito secondo = esegui({QStringLiteral("--lists"), QStringLiteral("2"), percorso});
    EXPECT_EQ(secondo.codice, 1);
    EXPECT_TRUE(secondo.uscita.contains(u"--force")) << secondo.uscita.toStdString();
    EXPECT_EQ(db.cartella.read(QStringLiteral("Dati.sdf")), fatto);

    const Esito forzato =
        esegui({QStringLiteral("--lists"), QStringLiteral("2"), QStringLiteral("--barcodes"),
                QStringLiteral("3"), QStringLiteral("--force"), percorso});
    ASSERT_EQ(forzato.codice, 0) << forzato.uscita.toStdString();
    EXPECT_EQ(db.conta("select count(*) from movimenti"), 6);
}

TEST(StrumentoMakedb, CsvAndSchemaOptionsShapeTheFile) {
    const prova::DatabaseProva db{prova::DatabaseProva::SenzaFile{}};
    const prova::TempFolder& cartella = db.cartella;
    cartella.write(QStringLiteral("liste.csv"), "3;Alfa;1\n3;Alfa;2\n");
    const Esito esito = esegui({QStringLiteral("--csv"), cartella.file(QStringLiteral("liste.csv")),
                                QStringLiteral("--no-cascade"), db.percorso()});
    ASSERT_EQ(esito.codice, 0) << esito.uscita.toStdString();
    EXPECT_EQ(db.conta("select count(*) from movimenti where idLista=3"), 2);
    EXPECT_EQ(db.conta("select count(*) from pragma_foreign_key_list('movimenti')"), 0);

    EXPECT_EQ(esegui({QStringLiteral("--demo"), QStringLiteral("--lists"), QStringLiteral("1"),
                      cartella.file(QStringLiteral("altro.sdf"))})
                  .codice,
              2);
    EXPECT_FALSE(QFileInfo::exists(cartella.file(QStringLiteral("altro.sdf"))));
}

}  // namespace
}  // namespace tastalo
