#include <gtest/gtest.h>

#include "database_liste.h"
#include "file_prova.h"
#include "store/archivio_liste.h"

namespace tastalo {
namespace {

using test::fallimentoDi;

class ChiusuraTest : public ::testing::Test {
protected:
    ChiusuraTest() {
        makedb::scriviDatabase(percorso, {{7, QStringLiteral("Magazzino"), {"8001", "8002"}}},
                               makedb::Vincolo::Cascata, false);
    }

    std::unique_ptr<Recordset> apriQuery() const {
        return archivio.apriQuery(stringa, istruzioni::queryBarcode(7));
    }

    // True when no connection of ours still holds the file: another one can
    // take it exclusively without waiting.
    bool fileLibero() const {
        SQLite::Database altro(test::utf8(percorso), SQLite::OPEN_READWRITE);
        try {
            altro.exec("BEGIN EXCLUSIVE");
        } catch (const SQLite::Exception&) {
            return false;
        }
        altro.exec("ROLLBACK");
        return true;
    }

    test::TempFolder cartella;
    QString percorso = cartella.file(QStringLiteral("Dati.sdf"));
    QString stringa = test::stringaConnessione(percorso);
    ArchivioListe archivio{test::kAttesaBreve};
};

TEST_F(ChiusuraTest, ClosingAnEmptyReferenceDoesNothing) {
    std::unique_ptr<Recordset> risultato;
    std::unique_ptr<Connessione> connessione;
    ChiudiRecordset(risultato);
    ChiudiConnessione(connessione);
    EXPECT_EQ(risultato, nullptr);
    EXPECT_EQ(connessione, nullptr);
}

TEST_F(ChiusuraTest, ClosingAnOpenResultReleasesTheFileAndEmptiesTheReference) {
    auto risultato = apriQuery();
    ASSERT_TRUE(risultato->aperto());
    ASSERT_FALSE(risultato->allaFine());
    EXPECT_FALSE(fileLibero());  // a result standing on a row reads the file
    ChiudiRecordset(risultato);
    EXPECT_EQ(risultato, nullptr);
    EXPECT_TRUE(fileLibero());
}

TEST_F(ChiusuraTest, ClosingAClosedResultOnlyEmptiesTheReference) {
    auto risultato = apriQuery();
    risultato->chiudi();
    EXPECT_FALSE(risultato->aperto());
    EXPECT_TRUE(fileLibero());
    EXPECT_EQ(fallimentoDi([&] { (void)risultato->allaFine(); }).codice(), 21);
    EXPECT_NO_THROW(ChiudiRecordset(risultato));
    EXPECT_EQ(risultato, nullptr);
}

TEST_F(ChiusuraTest, ClosingAConnectionEmptiesTheReferenceOpenOrNot) {
    auto aperta = archivio.apriConnessione(stringa);
    ASSERT_TRUE(aperta->aperto());
    ChiudiConnessione(aperta);
    EXPECT_EQ(aperta, nullptr);

    auto chiusa = archivio.apriConnessione(stringa);
    chiusa->chiudi();
    EXPECT_FALSE(chiusa->aperto());
    EXPECT_NO_THROW(ChiudiConnessione(chiusa));
    EXPECT_EQ(chiusa, nullptr);
}

TEST_F(ChiusuraTest, AResultReadToItsEndOrDroppedHoldsNoLock) {
    auto risultato = apriQuery();
    while (!risultato->allaFine()) risultato->avanti();
    EXPECT_TRUE(fileLibero());
    risultato = apriQuery();
    risultato.reset();
    EXPECT_TRUE(fileLibero());
}

}  // namespace
}  // namespace tastalo
