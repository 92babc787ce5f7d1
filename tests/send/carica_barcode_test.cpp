#include "send/carica_barcode.h"

#include <gtest/gtest.h>

#include "core/fallimento.h"
#include "send/database_di_prova.h"
#include "store/archivio_liste.h"

namespace tastalo {
namespace {

class CaricaBarcodeTest : public ::testing::Test {
protected:
    std::vector<QString> carica(std::int32_t id) {
        return CaricaBarcode(archivio, db.configurazione.StringaConnessione(), id);
    }
    static std::vector<std::optional<QString>> numerati(int quanti) {
        std::vector<std::optional<QString>> b;
        for (int i = 0; i < quanti; ++i) b.push_back(QString::number(i));
        return b;
    }

    test::DatabaseDiProva db;
    ArchivioListe archivio{std::chrono::milliseconds(100)};
};

TEST_F(CaricaBarcodeTest, ReadsOnlyTheChosenListInDatabaseOrder) {
    db.aggiungiLista(7, "Alfa", {QStringLiteral("z"), QStringLiteral("a"), QStringLiteral("m")});
    db.aggiungiLista(12, "Gamma", {QStringLiteral("altro")});

    EXPECT_EQ(carica(7), (std::vector<QString>{"z", "a", "m"}));
    EXPECT_TRUE(carica(99).empty());
}

TEST_F(CaricaBarcodeTest, TheLargestListIsLoadedWholeAndOneMoreOverflows) {
    db.aggiungiLista(1, "Piena", numerati(kMassimoBarcode));
    db.aggiungiLista(2, "Troppa", numerati(kMassimoBarcode + 1));

    const auto piena = carica(1);
    ASSERT_EQ(piena.size(), static_cast<std::size_t>(kMassimoBarcode));
    EXPECT_EQ(piena.back(), QString::number(kMassimoBarcode - 1));

    try {
        carica(2);
        FAIL() << "no overflow";
    } catch (const Fallimento& f) {
        EXPECT_EQ(f.codice(), 6);
        EXPECT_EQ(f.descrizione(), "Overflow");
        EXPECT_EQ(f.origine(), OrigineFallimento::Conversione);
    }
}

}  // namespace
}  // namespace tastalo
