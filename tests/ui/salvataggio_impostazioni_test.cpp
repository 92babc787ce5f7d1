#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "core/fallimento.h"
#include "settings/configurazione.h"
#include "ui/impostazioni_dialogo.h"
#include "settings/ini_programma.h"
#include "support/temp_folder.h"

namespace tastalo {
namespace {

using test::TempFolder;

// --- Saving the three keys together ---

class SalvataggioTest : public ::testing::Test {
protected:
    SalvataggioTest() : ini(cartella.path()), impostazioni(ini, configurazione) {
        configurazione.PercorsoDatabase = QStringLiteral("/prima.sdf");
        configurazione.TitoloFinestra = QStringLiteral("Prima");
        configurazione.Ritardo = 500;
    }

    QString percorsoIni() const { return cartella.file(QStringLiteral("spooling.ini")); }

    // Saves and gives back the failure it must raise.
    Fallimento salvaFallendo(const TestiImpostazioni& testi) {
        try {
            impostazioni.salva(testi);
        } catch (const Fallimento& errore) {
            return errore;
        }
        ADD_FAILURE() << "the save did not fail";
        return {OrigineFallimento::Programma, 0, ""};
    }

    void expectConfigurazioneInvariata() const {
        EXPECT_EQ(configurazione.PercorsoDatabase, QStringLiteral("/prima.sdf"));
        EXPECT_EQ(configurazione.TitoloFinestra, QStringLiteral("Prima"));
        EXPECT_EQ(configurazione.Ritardo, 500);
    }

    TempFolder cartella;
    IniProgramma ini;
    Configurazione configurazione;
    ImpostazioniDialogo impostazioni;
};

TEST_F(SalvataggioTest, AWriteFailingAfterAnEarlierOneLeavesTheFileAsItWas) {
    const QByteArray prima = "[DATI]\r\nDataBase=/prima.sdf\r\nFinestraPGM=Prima\r\nDelay=500\r\n";
    cartella.write(QStringLiteral("spooling.ini"), prima);

    // DataBase is written, then the title cannot be, as it would break the file's lines.
    const Fallimento errore = salvaFallendo(
        {QStringLiteral("/nuovo.sdf"), QStringLiteral("due\nrighe"), QStringLiteral("750")});

    EXPECT_EQ(errore.origine(), OrigineFallimento::FileImpostazioni);
    EXPECT_EQ(cartella.read(QStringLiteral("spooling.ini")), prima);
    expectConfigurazioneInvariata();
}

TEST_F(SalvataggioTest, AWriteFailingAfterTheFileWasCreatedRemovesItAgain) {
    // A title that would break the lines fails only once DataBase has created the file.
    const Fallimento errore = salvaFallendo(
        {QStringLiteral("/nuovo.sdf"), QStringLiteral("due\nrighe"), QStringLiteral("7")});

    EXPECT_EQ(errore.origine(), OrigineFallimento::FileImpostazioni);
    EXPECT_FALSE(QFileInfo::exists(percorsoIni()));
    expectConfigurazioneInvariata();
}

TEST_F(SalvataggioTest, AWriteFailureMessageNamesTheFileAndSaysNothingWasSaved) {
    ASSERT_TRUE(QDir(cartella.path()).mkdir(QStringLiteral("spooling.ini")));

    const Fallimento errore = salvaFallendo(
        {QStringLiteral("/nuovo.sdf"), QStringLiteral("Korvedo"), QStringLiteral("5")});

    const QString testo = ImpostazioniDialogo::messaggioSalvataggio(errore);
    EXPECT_TRUE(testo.contains(QDir::toNativeSeparators(percorsoIni()))) << testo.toStdString();
    EXPECT_TRUE(testo.endsWith(QStringLiteral("Le impostazioni non sono state salvate.")));
    EXPECT_TRUE(QFileInfo(percorsoIni()).isDir());
    expectConfigurazioneInvariata();
}

TEST_F(SalvataggioTest, ALatin1FileKeepsItsUntouchedLinesAndRefusesTextLatin1CannotHold) {
    const QByteArray prima =
        "[DATI]\r\nDataBase=/prima.sdf\r\nFinestraPGM=Contabilit\xE0\r\nDelay=500\r\n";
    cartella.write(QStringLiteral("spooling.ini"), prima);

    impostazioni.salva(
        {QStringLiteral("/prima.sdf"), QStringLiteral("Contabilità"), QStringLiteral("750")});
    QByteArray atteso = QByteArray(prima).replace("Delay=500", "Delay=750");
    EXPECT_EQ(cartella.read(QStringLiteral("spooling.ini")), atteso);
    EXPECT_EQ(configurazione.TitoloFinestra, QStringLiteral("Contabilità"));

    configurazione.TitoloFinestra = QStringLiteral("Prima");
    configurazione.Ritardo = 500;
    const Fallimento errore = salvaFallendo(
        {QStringLiteral("/nuovo.sdf"), QStringLiteral("Contabilità €"), QStringLiteral("9")});
    EXPECT_EQ(errore.origine(), OrigineFallimento::FileImpostazioni);
    const QString testo = ImpostazioniDialogo::messaggioSalvataggio(errore);
    EXPECT_TRUE(testo.contains(QStringLiteral("Latin-1"))) << testo.toStdString();
    EXPECT_TRUE(testo.endsWith(QStringLiteral("Le impostazioni non sono state salvate.")));
    EXPECT_EQ(cartella.read(QStringLiteral("spooling.ini")), atteso);
    expectConfigurazioneInvariata();
}

}  // namespace
}  // namespace tastalo
