#include <gtest/gtest.h>

#include "store/chiusura.h"
#include "store/istruzioni.h"
#include "support/database_prova.h"
#include "support/fallimento_atteso.h"

namespace tastalo::prova {
namespace {

class ChiusuraProva : public ::testing::Test {
protected:
    ChiusuraProva() { db.lista(7, QStringLiteral("Magazzino"), {"8001", "8002"}); }

    std::unique_ptr<Recordset> apriQuery() const {
        return db.archivio.apriQuery(db.connessione(), istruzioni::queryBarcode(7));
    }

    // True when no connection of ours still holds the file: another one can
    // take it exclusively without waiting.
    bool fileLibero() const {
        try {
            db.blocca();
        } catch (const SQLite::Exception&) {
            return false;
        }
        return true;
    }

    prova::DatabaseProva db;
};

TEST_F(ChiusuraProva, ClosingAnEmptyReferenceDoesNothing) {
    std::unique_ptr<Recordset> risultato;
    std::unique_ptr<Connessione> connessione;
    ChiudiRecordset(risultato);
    ChiudiConnessione(connessione);
    EXPECT_EQ(risultato, nullptr);
    EXPECT_EQ(connessione, nullptr);
}

TEST_F(ChiusuraProva, ClosingAnOpenResultReleasesTheFileAndEmptiesTheReference) {
    auto risultato = apriQuery();
    ASSERT_TRUE(risultato->aperto());
    ASSERT_FALSE(risultato->allaFine());
    EXPECT_FALSE(fileLibero());  // a result standing on a row reads the file
    ChiudiRecordset(risultato);
    EXPECT_EQ(risultato, nullptr);
    EXPECT_TRUE(fileLibero());
}

TEST_F(ChiusuraProva, ClosingAClosedResultOnlyEmptiesTheReference) {
    auto risultato = apriQuery();
    risultato->chiudi();
    EXPECT_FALSE(risultato->aperto());
    EXPECT_TRUE(fileLibero());
    EXPECT_THAT([&] { (void)risultato->allaFine(); }, prova::fallisce(OrigineFallimento::Database, 21));
    EXPECT_NO_THROW(ChiudiRecordset(risultato));
    EXPECT_EQ(risultato, nullptr);
}

TEST_F(ChiusuraProva, ClosingAConnectionEmptiesTheReferenceOpenOrNot) {
    auto aperta = db.archivio.apriConnessione(db.connessione());
    ASSERT_TRUE(aperta->aperto());
    ChiudiConnessione(aperta);
    EXPECT_EQ(aperta, nullptr);

    auto chiusa = db.archivio.apriConnessione(db.connessione());
    chiusa->chiudi();
    EXPECT_FALSE(chiusa->aperto());
    EXPECT_NO_THROW(ChiudiConnessione(chiusa));
    EXPECT_EQ(chiusa, nullptr);
}

TEST_F(ChiusuraProva, AResultReadToItsEndOrDroppedHoldsNoLock) {
    auto risultato = apriQuery();
    while (!risultato->allaFine()) risultato->avanti();
    EXPECT_TRUE(fileLibero());
    risultato = apriQuery();
    risultato.reset();
    EXPECT_TRUE(fileLibero());
}

}  // namespace
}  // namespace tastalo::prova
