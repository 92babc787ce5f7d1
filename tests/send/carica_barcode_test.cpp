#include "send/carica_barcode.h"

#include <gtest/gtest.h>

#include "support/database_prova.h"
#include "support/fallimento_atteso.h"

namespace tastalo::prova {
namespace {

class CaricaBarcodeProva : public ::testing::Test {
protected:
    std::vector<QString> carica(std::int32_t id) { return CaricaBarcode(db.archivio, db.connessione(), id); }
    static std::vector<QString> numerati(int quanti) {
        std::vector<QString> b;
        for (int i = 0; i < quanti; ++i) b.push_back(QString::number(i));
        return b;
    }

    prova::DatabaseProva db;
};

TEST_F(CaricaBarcodeProva, ReadsOnlyTheChosenListInDatabaseOrder) {
    db.lista(7, "Alfa", {QStringLiteral("z"), QStringLiteral("a"), QStringLiteral("m")});
    db.lista(12, "Gamma", {QStringLiteral("altro")});

    EXPECT_EQ(carica(7), (std::vector<QString>{"z", "a", "m"}));
    EXPECT_TRUE(carica(99).empty());
}

TEST_F(CaricaBarcodeProva, TheLargestListIsLoadedWholeAndOneMoreOverflows) {
    db.lista(1, "Piena", numerati(kMassimoBarcode));
    db.lista(2, "Troppa", numerati(kMassimoBarcode + 1));

    const auto piena = carica(1);
    ASSERT_EQ(piena.size(), static_cast<std::size_t>(kMassimoBarcode));
    EXPECT_EQ(piena.back(), QString::number(kMassimoBarcode - 1));

    EXPECT_THAT([&] { (void)carica(2); }, prova::fallisce(OrigineFallimento::Conversione, 6, "Overflow"));
}

}  // namespace
}  // namespace tastalo::prova
