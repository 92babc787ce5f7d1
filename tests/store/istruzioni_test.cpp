#include <gtest/gtest.h>

#include "settings/configurazione.h"
#include "store/archivio_liste.h"
#include "store/istruzioni.h"
#include "store/stringa_connessione.h"
#include "support/fallimento_atteso.h"

namespace tastalo {
namespace {

// The file named by the connection string the settings build for `percorso`.
QString percorsoAttraversoStringa(const QString& percorso) {
    return percorsoDaStringaConnessione(costruisciStringaConnessione(percorso));
}

TEST(StringaConnessione, NamesTheFileAfterDataSourceUpToTheFinalSemicolon) {
    EXPECT_EQ(percorsoAttraversoStringa(QStringLiteral("/dati/Dati.sdf")), u"/dati/Dati.sdf");
    // A path holding ";" or "=" stays whole.
    EXPECT_EQ(percorsoAttraversoStringa(QStringLiteral("/a;b/x=1.sdf")), u"/a;b/x=1.sdf");
    EXPECT_EQ(percorsoAttraversoStringa(QStringLiteral("C:\\Liste\\Dati.sdf")), u"C:\\Liste\\Dati.sdf");
    EXPECT_EQ(percorsoDaStringaConnessione(QStringLiteral("Data Source=/senza/punto e virgola.sdf")),
              u"/senza/punto e virgola.sdf");
    EXPECT_EQ(percorsoDaStringaConnessione(QStringLiteral("provider=x;data source=/minuscolo.sdf;")),
              u"/minuscolo.sdf");
}

TEST(StringaConnessione, WithoutADataSourceNamesNoFile) {
    EXPECT_EQ(percorsoDaStringaConnessione(QStringLiteral("Provider=x;")), QString());
    EXPECT_EQ(percorsoDaStringaConnessione(QString()), QString());
    EXPECT_EQ(percorsoAttraversoStringa(QString()), QString());
}

TEST(Istruzioni, KeepTheirExactTexts) {
    EXPECT_EQ(istruzioni::queryListe(), u"select * from liste order by lista");
    EXPECT_EQ(istruzioni::queryBarcode(12), u"Select Barcode from movimenti where idLista=12");
    EXPECT_EQ(istruzioni::queryBarcode(-3), u"Select Barcode from movimenti where idLista=-3");
    EXPECT_EQ(istruzioni::cancellaTutte(), u"delete from liste");
    EXPECT_EQ(istruzioni::cancellaUna(QStringLiteral("12")), u"delete from liste where idLista='12';");
    EXPECT_EQ(istruzioni::cancellaUna(-2147483647 - 1), u"delete from liste where idLista='-2147483648';");
}

TEST(Istruzioni, DeleteOneRefusesAnIdTextThatIsNotADecimalNumber) {
    for (const char* testo : {"", "-", "7' or '1'='1", "7'; delete from liste; --", "1.5", " 7", "7 "}) {
        SCOPED_TRACE(testo);
        const QString id = QString::fromUtf8(testo);
        EXPECT_THAT([&] { (void)istruzioni::cancellaUna(id); },
                    prova::fallisce(OrigineFallimento::Conversione, 13));
    }
}

}  // namespace
}  // namespace tastalo
