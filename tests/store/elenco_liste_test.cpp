#include "store/elenco_liste.h"

#include <gtest/gtest.h>

#include <QDir>

#include "support/database_prova.h"

namespace tastalo {
namespace {

using prova::DatabaseProva;

TEST(LeggiListe, JoinsANullNameAsEmptyAndShowsNumbersAsTheyAre) {
    DatabaseProva db(DatabaseProva::SenzaFile{});
    db.esegui(
        "create table liste(idLista, lista, note);"
        "insert into liste values (-4, NULL, 'x'), (' 8 ', 2.5, NULL), (9.0, 'Nove', 1)");
    const auto voci = leggiListe(db.archivio, db.connessione());
    ASSERT_EQ(voci.size(), 3u);
    EXPECT_EQ(voci[0].testo, "-4 - ");
    EXPECT_EQ(voci[0].id, -4);
    EXPECT_EQ(voci[1].testo, " 8  - 2.5");
    EXPECT_EQ(voci[1].id, 8);
    EXPECT_EQ(voci[2].testo, "9 - Nove");
    EXPECT_EQ(voci[2].id, 9);
}

TEST(MotivoFileAssente, OnlyAnExistingFileHasNone) {
    DatabaseProva db;
    EXPECT_FALSE(motivoFileAssente(db.percorso()));
    EXPECT_TRUE(motivoFileAssente(db.cartella.file("Altro.sdf")));
    ASSERT_TRUE(QDir(db.cartella.path()).mkdir("Cartella.sdf"));
    EXPECT_TRUE(motivoFileAssente(db.cartella.file("Cartella.sdf")));
    EXPECT_TRUE(motivoFileAssente(QString()));
}

}  // namespace
}  // namespace tastalo
