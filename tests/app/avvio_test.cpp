// Loading the settings at start-up, or creating the file with the defaults.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/avvio.h"
#include "core/avvisi.h"
#include "settings/configurazione.h"
#include "settings/ini_file.h"
#include "settings/ini_programma.h"
#include "settings/spooling_ini.h"
#include "support/fake_messaggi.h"
#include "support/file_illeggibile.h"
#include "support/limite_dimensione_file.h"
#include "support/temp_folder.h"

namespace tastalo {
namespace {

using prova::FakeMessaggi;
using prova::TempFolder;

const QString kDelayNonValido =
    QStringLiteral("Il valore Delay di spooling.ini non è valido: verrà usato 500.");
const QString kValoriPredefiniti = QStringLiteral(". Verranno usati i valori predefiniti.");

QByteArray riga(const QByteArray& testo) { return testo + ini::kFineRigaPredefinita.toByteArray(); }

class Avvio : public ::testing::Test {
protected:
    void carica() { caricaConfigurazione(ini, configurazione, messaggi); }
    QString percorsoIni() const { return cartella.file("spooling.ini"); }
    void attendiPredefiniti() const {
        EXPECT_EQ(configurazione.PercorsoDatabase, percorsoDatabasePredefinito(cartella.path()));
        EXPECT_EQ(configurazione.TitoloFinestra, "Korvedo");
        EXPECT_EQ(configurazione.Ritardo, 500);
    }

    TempFolder cartella;
    IniProgramma ini{cartella.path()};
    Configurazione configurazione;
    FakeMessaggi messaggi;
};

TEST(ConfigurazioneTest, ConnectionStringFollowsTheDatabasePath) {
    const QString attesa = QStringLiteral("Provider=Microsoft.SQLSERVER.CE.OLEDB.3.5;Data Source=%1;");
    Configurazione c;
    EXPECT_EQ(c.StringaConnessione(), attesa.arg(""));
    c.PercorsoDatabase = "C:\\Liste\\Dati 2.sdf";
    EXPECT_EQ(c.StringaConnessione(), attesa.arg("C:\\Liste\\Dati 2.sdf"));
    c.PercorsoDatabase = "";
    EXPECT_EQ(c.StringaConnessione(), attesa.arg(""));
}

TEST_F(Avvio, FirstStartWritesTheDefaultsInOrderAndUsesThem) {
    carica();
    EXPECT_TRUE(messaggi.messaggi().empty());
    attendiPredefiniti();
    const QByteArray percorso = percorsoDatabasePredefinito(cartella.path()).toUtf8();
    EXPECT_EQ(cartella.read("spooling.ini"), riga("[DATI]") + riga("DataBase=" + percorso) +
                                                 riga("FinestraPGM=Korvedo") + riga("Delay=500"));
}

TEST_F(Avvio, SecondStartReadsTheSameValuesBackAndWritesNothing) {
    carica();
    // An old time stamp shows any rewrite, however quick.
    const QDateTime vecchia = QDateTime::currentDateTime().addYears(-3);
    {
        QFile file(percorsoIni());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(vecchia, QFileDevice::FileModificationTime));
    }
    const QByteArray byte = cartella.read("spooling.ini");

    Configurazione seconda;
    caricaConfigurazione(ini, seconda, messaggi);
    EXPECT_TRUE(messaggi.messaggi().empty());
    EXPECT_EQ(seconda.PercorsoDatabase, configurazione.PercorsoDatabase);
    EXPECT_EQ(seconda.TitoloFinestra, "Korvedo");
    EXPECT_EQ(seconda.Ritardo, 500);
    EXPECT_EQ(cartella.read("spooling.ini"), byte);
    EXPECT_EQ(QFileInfo(percorsoIni()).lastModified().toSecsSinceEpoch(), vecchia.toSecsSinceEpoch());
}

TEST_F(Avvio, ValuesAreTakenAsReadAndAnEmptyDatabaseIsTheDefaultOne) {
    const QByteArray contenuto = "[DATI]\nDataBase=\nFinestraPGM=\nDelay= 750 \n";
    cartella.write("spooling.ini", contenuto);
    carica();
    EXPECT_TRUE(messaggi.messaggi().empty());
    EXPECT_EQ(configurazione.PercorsoDatabase, percorsoDatabasePredefinito(cartella.path()));
    EXPECT_EQ(configurazione.TitoloFinestra, "");
    EXPECT_EQ(configurazione.Ritardo, 750);
    EXPECT_EQ(cartella.read("spooling.ini"), contenuto);  // not completed with defaults
}

TEST_F(Avvio, InvalidDelayIsReportedAndReplacedFor500WithoutRewritingTheFile) {
    for (const char* delay : {"abc", "", "-5", "2147483648", "1e3"}) {
        messaggi.svuota();
        const QByteArray contenuto =
            QByteArray("[DATI]\nDataBase=/dati/Dati.sdf\nFinestraPGM=X\nDelay=") + delay + "\n";
        cartella.write("spooling.ini", contenuto);
        carica();
        ASSERT_EQ(messaggi.messaggi().size(), 1u) << delay;
        EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
        EXPECT_EQ(messaggi.messaggi()[0].testo, kDelayNonValido);
        EXPECT_EQ(configurazione.Ritardo, 500) << delay;
        EXPECT_EQ(configurazione.PercorsoDatabase, "/dati/Dati.sdf");
        EXPECT_EQ(configurazione.TitoloFinestra, "X");
        EXPECT_EQ(cartella.read("spooling.ini"), contenuto);
    }
}

TEST_F(Avvio, FileWithoutTheKeysUsesTheDefaultDatabaseAndIsNotCompleted) {
    const QByteArray senzaChiave = "[DATI]\nFinestraPGM=X\nDelay=250\n";
    const QByteArray senzaSezione = "[ALTRO]\nK=v\n";
    const QByteArray spazzatura("\x00\x9F\xFFK\x13=\x80\r\x01\n\xFE", 11);
    for (const QByteArray& contenuto : {senzaChiave, senzaSezione, spazzatura}) {
        SCOPED_TRACE(contenuto.toHex().toStdString());
        messaggi.svuota();
        cartella.write("spooling.ini", contenuto);
        carica();
        EXPECT_EQ(configurazione.PercorsoDatabase, percorsoDatabasePredefinito(cartella.path()));
        EXPECT_EQ(messaggi.testi(), contenuto == senzaChiave ? QStringList() : QStringList{kDelayNonValido});
        EXPECT_EQ(cartella.read("spooling.ini"), contenuto);
    }
}

TEST_F(Avvio, ARelativeDatabaseIsTakenFromTheProgramFolderWhateverTheWorkingDirectory) {
    TempFolder altrove;
    const QString prima = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(altrove.path()));
    const std::pair<QByteArray, QString> casi[] = {
        {"Dati.sdf", QDir::toNativeSeparators(QDir(cartella.path()).filePath("Dati.sdf"))},
        {" liste/../Altro.sdf ", QDir::toNativeSeparators(QDir(cartella.path()).filePath("Altro.sdf"))},
        // An absolute path is used as read.
        {"/dati/Dati.sdf", "/dati/Dati.sdf"},
    };
    for (const auto& [testo, atteso] : casi) {
        cartella.write("spooling.ini", "[DATI]\nDataBase=" + testo + "\nFinestraPGM=X\nDelay=1\n");
        carica();
        EXPECT_EQ(configurazione.PercorsoDatabase, atteso) << testo.data();
    }
    QDir::setCurrent(prima);
}

TEST_F(Avvio, AFirstStartThatCannotWriteTheWholeFileLeavesNoneBehind) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no per-process file size limit to stand in for a full disk";
#else
    const QByteArray soloDatabase =
        riga("[DATI]") + riga("DataBase=" + percorsoDatabasePredefinito(cartella.path()).toUtf8());
    {
        // Room for the DataBase line, not for the whole file.
        prova::LimiteDimensioneFile limite(static_cast<rlim_t>(soloDatabase.size()) + 5);
        carica();
    }
    ASSERT_EQ(messaggi.testi().size(), 1);
    EXPECT_TRUE(messaggi.testi()[0].startsWith("Impossibile creare il file delle impostazioni "));
    attendiPredefiniti();
    EXPECT_FALSE(QFileInfo::exists(percorsoIni()));

    // The next start is a first start again, not one that warns about Delay.
    messaggi.svuota();
    carica();
    EXPECT_TRUE(messaggi.messaggi().empty());
    EXPECT_EQ(ini.LeggiIni("DATI", "Delay", "spooling.ini"), "500");
#endif
}

TEST_F(Avvio, AnotherWorkingDirectoryStillUsesTheProgramFolder) {
    TempFolder altrove;
    const QString prima = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(altrove.path()));
    carica();
    QDir::setCurrent(prima);
    EXPECT_TRUE(QFileInfo(percorsoIni()).isFile());
    EXPECT_TRUE(QDir(altrove.path()).isEmpty());
    attendiPredefiniti();
    EXPECT_TRUE(QFileInfo(configurazione.PercorsoDatabase).isAbsolute());
}

TEST_F(Avvio, DirectoryNamedLikeTheFileIsReportedAndDefaultsAreUsed) {
    ASSERT_TRUE(QDir(cartella.path()).mkdir("spooling.ini"));
    carica();
    ASSERT_EQ(messaggi.messaggi().size(), 1u);
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    const QString testo = messaggi.messaggi()[0].testo;
    EXPECT_TRUE(testo.startsWith("Impossibile creare il file delle impostazioni " +
                                 QDir::toNativeSeparators(percorsoIni()) + ": "))
        << testo.toStdString();
    EXPECT_TRUE(testo.endsWith(kValoriPredefiniti)) << testo.toStdString();
    attendiPredefiniti();
    EXPECT_TRUE(QFileInfo(percorsoIni()).isDir());
}

TEST_F(Avvio, UnreadableFileIsReportedAndDefaultsAreUsed) {
    prova::FileIlleggibile illeggibile(percorsoIni());
    ASSERT_TRUE(illeggibile.creato());
    configurazione.TitoloFinestra = "resto di prima";
    carica();
    ASSERT_EQ(messaggi.testi().size(), 1);
    EXPECT_TRUE(messaggi.testi()[0].startsWith("Impossibile leggere il file delle impostazioni " +
                                               QDir::toNativeSeparators(percorsoIni()) + ": "));
    EXPECT_TRUE(messaggi.testi()[0].endsWith(kValoriPredefiniti));
    attendiPredefiniti();
}

TEST(ValoriPredefiniti, FollowTheReasonAfterOneFullStop) {
    EXPECT_EQ(avvisi::conValoriPredefiniti("non è un file normale"),
              "non è un file normale. Verranno usati i valori predefiniti.");
    for (const char* motivo : {"Accesso negato.", "Accesso negato.\r\n", "Accesso negato. "}) {
        EXPECT_EQ(avvisi::conValoriPredefiniti(motivo),
                  "Accesso negato. Verranno usati i valori predefiniti.");
    }
}

// Windows keeps its named pipes out of the file system: no file can be one.
#ifndef _WIN32
TEST_F(Avvio, APipeNamedLikeTheFileIsReportedInsteadOfWaitedOn) {
    // Opening a pipe for reading would wait for a writer for ever.
    ASSERT_EQ(mkfifo(QFile::encodeName(percorsoIni()).constData(), 0600), 0);
    carica();
    ASSERT_EQ(messaggi.testi().size(), 1);
    EXPECT_EQ(messaggi.testi()[0], "Impossibile leggere il file delle impostazioni " +
                                       QDir::toNativeSeparators(percorsoIni()) + ": non è un file normale" +
                                       kValoriPredefiniti);
    attendiPredefiniti();
}
#endif

TEST(AvvioSenzaCartella, MissingProgramFolderIsReportedAndDefaultsAreUsed) {
    TempFolder base;
    const IniProgramma ini(base.file("sparita"));
    Configurazione configurazione;
    FakeMessaggi messaggi;
    caricaConfigurazione(ini, configurazione, messaggi);
    ASSERT_EQ(messaggi.testi().size(), 1);
    EXPECT_TRUE(messaggi.testi()[0].startsWith("Impossibile creare il file delle impostazioni "));
    EXPECT_EQ(configurazione.TitoloFinestra, "Korvedo");
    EXPECT_EQ(configurazione.Ritardo, 500);
    EXPECT_EQ(configurazione.PercorsoDatabase, percorsoDatabasePredefinito(base.file("sparita")));
    EXPECT_FALSE(QFileInfo::exists(base.file("sparita")));
}

}  // namespace
}  // namespace tastalo
