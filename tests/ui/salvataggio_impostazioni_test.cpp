#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "core/fallimento.h"
#include "settings/configurazione.h"
#include "settings/ini_programma.h"
#include "support/fallimento_atteso.h"
#include "support/temp_folder.h"
#include "ui/impostazioni_dialogo.h"

namespace tastalo::prova {
namespace {

using prova::fallisce;
using prova::TempFolder;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::ResultOf;

// --- Saving the three keys together ---

class SalvataggioProva : public ::testing::Test {
protected:
    SalvataggioProva() : ini(cartella.path()), impostazioni(ini, configurazione) {
        configurazione.PercorsoDatabase = QStringLiteral("/prima.sdf");
        configurazione.TitoloFinestra = QStringLiteral("Prima");
        configurazione.Ritardo = 500;
    }

    QString percorsoIni() const { return cartella.file(QStringLiteral("spooling.ini")); }

    auto salva(const TestiImpostazioni& testi) {
        return [this, testi] { impostazioni.salva(testi); };
    }
    // Matches a save failing on the settings file with a message to the
    // operator that matches `testo` and says that nothing was saved.
    template <typename Matcher>
    static auto fallisceConMessaggio(Matcher testo) {
        const auto messaggio = [](const Fallimento& f) {
            return ImpostazioniDialogo::messaggioSalvataggio(f).toStdString();
        };
        return ::testing::Throws<Fallimento>(
            AllOf(::testing::Property(&Fallimento::origine, OrigineFallimento::FileImpostazioni),
                  ResultOf(messaggio, AllOf(testo, EndsWith("Le impostazioni non sono state salvate.")))));
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

TEST_F(SalvataggioProva, AWriteFailingAfterAnEarlierOneLeavesTheFileAsItWas) {
    const QByteArray prima = "[DATI]\r\nDataBase=/prima.sdf\r\nFinestraPGM=Prima\r\nDelay=500\r\n";
    cartella.write(QStringLiteral("spooling.ini"), prima);

    // DataBase is written, then the title cannot be, as it would break the file's lines.
    EXPECT_THAT(salva({QStringLiteral("/nuovo.sdf"), QStringLiteral("due\nrighe"), QStringLiteral("750")}),
                fallisce(OrigineFallimento::FileImpostazioni));
    EXPECT_EQ(cartella.read(QStringLiteral("spooling.ini")), prima);
    expectConfigurazioneInvariata();
}

TEST_F(SalvataggioProva, AWriteFailingAfterTheFileWasCreatedRemovesItAgain) {
    // A title that would break the lines fails only once DataBase has created the file.
    EXPECT_THAT(salva({QStringLiteral("/nuovo.sdf"), QStringLiteral("due\nrighe"), QStringLiteral("7")}),
                fallisce(OrigineFallimento::FileImpostazioni));
    EXPECT_FALSE(QFileInfo::exists(percorsoIni()));
    expectConfigurazioneInvariata();
}

TEST_F(SalvataggioProva, AWriteFailureMessageNamesTheFileAndSaysNothingWasSaved) {
    ASSERT_TRUE(QDir(cartella.path()).mkdir(QStringLiteral("spooling.ini")));

    EXPECT_THAT(salva({QStringLiteral("/nuovo.sdf"), QStringLiteral("Korvedo"), QStringLiteral("5")}),
                fallisceConMessaggio(HasSubstr(QDir::toNativeSeparators(percorsoIni()).toStdString())));
    EXPECT_TRUE(QFileInfo(percorsoIni()).isDir());
    expectConfigurazioneInvariata();
}

TEST_F(SalvataggioProva, ALatin1FileKeepsItsUntouchedLinesAndRefusesTextLatin1CannotHold) {
    const QByteArray prima = "[DATI]\r\nDataBase=/prima.sdf\r\nFinestraPGM=Contabilit\xE0\r\nDelay=500\r\n";
    cartella.write(QStringLiteral("spooling.ini"), prima);

    impostazioni.salva({QStringLiteral("/prima.sdf"), QStringLiteral("Contabilità"), QStringLiteral("750")});
    QByteArray atteso = QByteArray(prima).replace("Delay=500", "Delay=750");
    EXPECT_EQ(cartella.read(QStringLiteral("spooling.ini")), atteso);
    EXPECT_EQ(configurazione.TitoloFinestra, QStringLiteral("Contabilità"));

    configurazione.TitoloFinestra = QStringLiteral("Prima");
    configurazione.Ritardo = 500;
    EXPECT_THAT(salva({QStringLiteral("/nuovo.sdf"), QStringLiteral("Contabilità €"), QStringLiteral("9")}),
                fallisceConMessaggio(HasSubstr("Latin-1")));
    EXPECT_EQ(cartella.read(QStringLiteral("spooling.ini")), atteso);
    expectConfigurazioneInvariata();
}

}  // namespace
}  // namespace tastalo::prova
