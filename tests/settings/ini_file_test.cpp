// Reading and atomically replacing settings files on disk.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <cerrno>
#include <system_error>

#include "settings/ini_file.h"
#include "settings/ini_programma.h"
#include "support/fallimento_atteso.h"
#include "support/file_illeggibile.h"
#include "support/limite_dimensione_file.h"
#include "support/temp_folder.h"

namespace tastalo::ini {
namespace {

using prova::FileIlleggibile;
using prova::TempFolder;

const QString kDati = QStringLiteral("DATI");
const QString kDelay = QStringLiteral("Delay");

using prova::fallisce;
using ::testing::_;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// The start of a description naming the file at `percorso`.
std::string suFile(const char* azione, const QString& percorso) {
    return std::string("Impossibile ") + azione + " il file delle impostazioni " +
           QDir::toNativeSeparators(percorso).toStdString() + ": ";
}

TEST(IniFile, MissingFileReadsAsEmptyAndTheFirstWriteCreatesIt) {
    TempFolder cartella;
    const QString percorso = cartella.file("spooling.ini");
    EXPECT_FALSE(leggiFile(percorso).has_value());
    EXPECT_TRUE(leggiDaFile(percorso, kDati, kDelay).isEmpty());

    scriviSuFile(percorso, kDati, {{kDelay, QStringLiteral("500")}});
    const QByteArray fine = kFineRigaPredefinita.toByteArray();
    EXPECT_EQ(cartella.read("spooling.ini"), "[DATI]" + fine + "Delay=500" + fine);
    EXPECT_EQ(leggiDaFile(percorso, kDati, kDelay), "500");
}

TEST(IniFile, WriteChangesOneValueAndKeepsTheRestOfTheFile) {
    TempFolder cartella;
    const QByteArray prima =
        "\xEF\xBB\xBF; note\r\n[DATI]\r\nDataBase=C:\\Dati.sdf\r\nFinestraPGM=Korvedo\r\n"
        "Delay=500\r\n[Altro]\r\nK=v\r\n";
    cartella.write("spooling.ini", prima);
    scriviSuFile(cartella.file("spooling.ini"), kDati,
                 {{QStringLiteral("FinestraPGM"), QStringLiteral("Magazzino")}});
    QByteArray atteso = prima;
    atteso.replace("Korvedo", "Magazzino");
    EXPECT_EQ(cartella.read("spooling.ini"), atteso);
}

TEST(IniFile, Utf16FileStaysUtf16AfterAWrite) {
    TempFolder cartella;
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    cartella.write("spooling.ini", encoder.encode(QStringLiteral("[DATI]\r\nDelay=500\r\n")));
    scriviSuFile(cartella.file("spooling.ini"), kDati, {{kDelay, QStringLiteral("750")}});
    QStringEncoder atteso(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    EXPECT_EQ(cartella.read("spooling.ini"),
              QByteArray(atteso.encode(QStringLiteral("[DATI]\r\nDelay=750\r\n"))));
    EXPECT_EQ(leggiDaFile(cartella.file("spooling.ini"), kDati, kDelay), "750");
}

TEST(IniFile, DirectoryInTheWayFailsNamingThePathAndTheReason) {
    TempFolder cartella;
    ASSERT_TRUE(QDir(cartella.path()).mkdir("spooling.ini"));
    const QString percorso = cartella.file("spooling.ini");

    EXPECT_THAT([&] { leggiDaFile(percorso, kDati, kDelay); },
                fallisce(OrigineFallimento::FileImpostazioni, ::testing::Ne(0),
                         StartsWith(suFile("leggere", percorso))));
    // The system's reason follows the path.
    const std::string creare = suFile("creare", percorso);
    EXPECT_THAT([&] { scriviFileAtomico(percorso, "[DATI]\n"); },
                fallisce(OrigineFallimento::FileImpostazioni, _,
                         AllOf(StartsWith(creare), ::testing::SizeIs(::testing::Gt(creare.size())))));
    EXPECT_TRUE(QFileInfo(percorso).isDir());
}

TEST(IniFile, FailedWriteLeavesTheOldFileWholeAndNoTemporaryBehind) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no per-process file size limit to stand in for a full disk";
#else
    TempFolder cartella;
    const QByteArray prima = "[DATI]\nDataBase=/dati/Dati.sdf\nFinestraPGM=Korvedo\nDelay=500\n";
    cartella.write("spooling.ini", prima);
    const QString lungo(4096, QLatin1Char('x'));
    {
        // The new contents outgrow the cap, so writing them fails halfway.
        prova::LimiteDimensioneFile limite(1024);
        // The cause is the system's, not a generic one.
        EXPECT_THAT(
            [&] {
                scriviSuFile(cartella.file("spooling.ini"), kDati, {{QStringLiteral("FinestraPGM"), lungo}});
            },
            fallisce(OrigineFallimento::FileImpostazioni, _,
                     AllOf(StartsWith("Impossibile scrivere il file delle impostazioni "),
                           EndsWith(std::generic_category().message(EFBIG)))));
    }
    EXPECT_EQ(cartella.read("spooling.ini"), prima);
    EXPECT_EQ(QDir(cartella.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"spooling.ini"});
#endif
}

TEST(IniFile, UnreadableFileIsAFailureAndIsNotOverwritten) {
    TempFolder cartella;
    const QString percorso = cartella.file("spooling.ini");
    FileIlleggibile illeggibile(percorso);
    ASSERT_TRUE(illeggibile.creato());

    const auto nonLetto =
        fallisce(OrigineFallimento::FileImpostazioni, _, StartsWith(suFile("leggere", percorso)));
    EXPECT_THAT([&] { leggiDaFile(percorso, kDati, kDelay); }, nonLetto);
    EXPECT_THAT([&] { scriviSuFile(percorso, kDati, {{kDelay, QStringLiteral("1")}}); }, nonLetto);
    EXPECT_TRUE(illeggibile.intatto());
}

TEST(IniFile, RefusedTextOrUndecodableFileLeavesTheFileUntouchedAndUndecodableIsNotRead) {
    TempFolder cartella;
    const QByteArray prima = "[DATI]\nDelay=500\n";
    cartella.write("spooling.ini", prima);
    const QString percorso = cartella.file("spooling.ini");
    EXPECT_THAT(
        [&] {
            scriviSuFile(percorso, kDati, {{kDelay, QStringLiteral("5\n[DATI]\nDelay=6")}});
        },
        fallisce(OrigineFallimento::FileImpostazioni, kTestoNonValido,
                 HasSubstr(QDir::toNativeSeparators(percorso).toStdString())));
    EXPECT_EQ(cartella.read("spooling.ini"), prima);

    const QByteArray rotto = QByteArray("\xFF\xFE[\0D\0\x00\xD8", 8);
    cartella.write("spooling.ini", rotto);
    EXPECT_THAT(
        [&] {
            scriviSuFile(percorso, kDati, {{kDelay, QStringLiteral("1")}});
        },
        fallisce(OrigineFallimento::FileImpostazioni, kContenutoNonValido));
    EXPECT_EQ(cartella.read("spooling.ini"), rotto);
    EXPECT_THAT([&] { leggiDaFile(percorso, kDati, kDelay); },
                fallisce(OrigineFallimento::FileImpostazioni, kContenutoNonValido,
                         StartsWith(suFile("leggere", percorso))));
}

TEST(IniProgrammaTest, FilesLiveInTheProgramFolderAndOnlyAFileExists) {
    TempFolder cartella;
    const IniProgramma ini(cartella.path());
    EXPECT_EQ(ini.percorsoFile("spooling.ini"), QDir::toNativeSeparators(cartella.path() + "/spooling.ini"));
    EXPECT_FALSE(ini.esiste("spooling.ini"));
    ASSERT_TRUE(QDir(cartella.path()).mkdir("spooling.ini"));
    EXPECT_FALSE(ini.esiste("spooling.ini"));
    cartella.write("altro.ini", "[DATI]\nDelay=3\n");
    EXPECT_TRUE(ini.esiste("altro.ini"));
    EXPECT_EQ(ini.LeggiIni(kDati, kDelay, "altro.ini"), "3");
    ini.ScriviIni(kDati, {{kDelay, "4"}}, "altro.ini");
    EXPECT_EQ(cartella.read("altro.ini"), "[DATI]\nDelay=4\n");
}

}  // namespace
}  // namespace tastalo::ini
