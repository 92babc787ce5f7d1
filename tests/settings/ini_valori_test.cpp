// Reading and writing values in the bytes of an INI file.
#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "support/fallimento_atteso.h"

namespace tastalo::ini {
namespace {

const QString kDati = QStringLiteral("DATI");

QString leggi(const QByteArray& c, const char* sezione, const char* chiave) {
    return leggiValore(c, QString::fromUtf8(sezione), QString::fromUtf8(chiave));
}

QByteArray scrivi(const QByteArray& c, const char* sezione, const char* chiave, const char* valore) {
    return scriviValore(c, QString::fromUtf8(sezione), QString::fromUtf8(chiave), QString::fromUtf8(valore));
}

TEST(IniLettura, MissingSectionKeyOrEmptyContentsReadAsEmptyText) {
    const QByteArray c = "[DATI]\nDelay=500\n[ALTRO]\nFinestraPGM=X\n";
    EXPECT_EQ(leggi(c, "DATI", "Delay"), "500");
    EXPECT_TRUE(leggi(c, "DATI", "FinestraPGM").isEmpty());  // lives in another section
    EXPECT_TRUE(leggi(c, "MANCA", "Delay").isEmpty());
    EXPECT_TRUE(leggi({}, "DATI", "Delay").isEmpty());
    EXPECT_TRUE(leggi("Delay=1\n[DATI]\n", "DATI", "Delay").isEmpty());  // key before any section
}

TEST(IniLettura, NamesMatchWithoutRegardToCaseAndBlanks) {
    const QByteArray c = "[ dati ]\r\n\tdelay \t=  750 \t\r\nFINESTRAPGM= Città Nuova \r\n";
    EXPECT_EQ(leggi(c, "DATI", "Delay"), "750");
    EXPECT_EQ(leggi(c, "Dati", "FinestraPGM"), QStringLiteral("Città Nuova"));
    EXPECT_EQ(leggi(c, " DATI ", " Delay "), "750");
}

TEST(IniLettura, ValueIsTakenAsItStandsAfterTrimming) {
    const QByteArray c = "[DATI]\nA=\"quoted\"\nB=a = b ; not a comment\nC=\nD=   \nE=x\\y\n";
    EXPECT_EQ(leggi(c, "DATI", "A"), "\"quoted\"");
    EXPECT_EQ(leggi(c, "DATI", "B"), "a = b ; not a comment");
    EXPECT_TRUE(leggi(c, "DATI", "C").isEmpty());
    EXPECT_TRUE(leggi(c, "DATI", "D").isEmpty());
    EXPECT_EQ(leggi(c, "DATI", "E"), "x\\y");
}

TEST(IniLettura, CommentsAndLinesWithoutEqualsAreNotKeys) {
    const QByteArray c = "[DATI]\n;Delay=1\n  ; Delay=2\nDelay\n[DATI\nDelay=3\n";
    // "[DATI" lacks its "]", so it is no section and Delay=3 still belongs to DATI.
    EXPECT_EQ(leggi(c, "DATI", "Delay"), "3");
    EXPECT_TRUE(leggi(";[DATI]\nDelay=1\n", "DATI", "Delay").isEmpty());
}

TEST(IniLettura, FirstSectionAndFirstKeyOfANameWin) {
    const QByteArray c = "[DATI]\nDelay=1\ndelay=2\n[dati]\nDelay=3\nTitolo=T\n";
    EXPECT_EQ(leggi(c, "DATI", "Delay"), "1");
    // Only the first section of a name is looked at.
    EXPECT_TRUE(leggi(c, "DATI", "Titolo").isEmpty());
}

TEST(IniLettura, ByteOrderMarkAndLastLineWithoutLineEnd) {
    EXPECT_EQ(leggi("\xEF\xBB\xBF[DATI]\nDelay=42", "DATI", "Delay"), "42");
    EXPECT_EQ(leggi("[DATI]\r\nDelay=42\r\n", "DATI", "Delay"), "42");
}

TEST(IniLettura, TextThatIsNotUtf8IsReadAsLatin1) {
    EXPECT_EQ(leggi("[DATI]\nFinestraPGM=Citt\xE0\n", "DATI", "FinestraPGM"), QStringLiteral("Città"));
}

TEST(IniScrittura, NewContentsHoldSectionThenKeysInWriteOrder) {
    QByteArray c;
    c = scrivi(c, "DATI", "DataBase", "/opt/tastalo/Dati.sdf");
    c = scrivi(c, "DATI", "FinestraPGM", "Korvedo");
    c = scrivi(c, "DATI", "Delay", "500");
    const QByteArray fine = kFineRigaPredefinita.toByteArray();
    EXPECT_EQ(c, "[DATI]" + fine + "DataBase=/opt/tastalo/Dati.sdf" + fine + "FinestraPGM=Korvedo" + fine +
                     "Delay=500" + fine);
}

TEST(IniScrittura, ReplacesOnlyTheValueAndKeepsEveryOtherByte) {
    const QByteArray prima =
        "; impostazioni\r\n[Altro]\r\nDelay=9\r\n\r\n[dati]\r\n  delay =  500  \r\n"
        "FinestraPGM=Korvedo\r\n; fine\r\n";
    const QByteArray dopo = scrivi(prima, "DATI", "Delay", "750");
    EXPECT_EQ(dopo,
              "; impostazioni\r\n[Altro]\r\nDelay=9\r\n\r\n[dati]\r\n  delay =  750\r\n"
              "FinestraPGM=Korvedo\r\n; fine\r\n");
    EXPECT_EQ(leggi(dopo, "DATI", "Delay"), "750");
}

TEST(IniScrittura, ReplacesAnEmptyValueAndTheFirstOfDuplicates) {
    EXPECT_EQ(scrivi("[DATI]\nDelay=   \n", "DATI", "Delay", "5"), "[DATI]\nDelay=5\n");
    EXPECT_EQ(scrivi("[DATI]\nDelay=1\nDELAY=2\n[DATI]\nDelay=3\n", "dati", "delay", "7"),
              "[DATI]\nDelay=7\nDELAY=2\n[DATI]\nDelay=3\n");
    EXPECT_EQ(scrivi("[DATI]\nDelay=500", "DATI", "Delay", ""), "[DATI]\nDelay=");
}

TEST(IniScrittura, AddsAMissingKeyAfterTheLastKeyOfItsSection) {
    EXPECT_EQ(scrivi("[DATI]\r\nDataBase=a\r\n; nota\r\n\r\n[ALTRO]\r\nX=1\r\n", "DATI", "Delay", "500"),
              "[DATI]\r\nDataBase=a\r\nDelay=500\r\n; nota\r\n\r\n[ALTRO]\r\nX=1\r\n");
    // A section without keys gets the key right under its header.
    EXPECT_EQ(scrivi("[DATI]\n\n[ALTRO]\n", "DATI", "Delay", "1"), "[DATI]\nDelay=1\n\n[ALTRO]\n");
    // Only the first section of the name receives it.
    EXPECT_EQ(scrivi("[DATI]\nA=1\n[DATI]\nDelay=3\n", "DATI", "Delay", "4"),
              "[DATI]\nA=1\nDelay=4\n[DATI]\nDelay=3\n");
}

TEST(IniScrittura, AddsAMissingSectionAtTheEndWithTheFileLineEnd) {
    EXPECT_EQ(scrivi("[ALTRO]\r\nX=1\r\n", "DATI", "Delay", "5"), "[ALTRO]\r\nX=1\r\n[DATI]\r\nDelay=5\r\n");
    EXPECT_EQ(scrivi("[ALTRO]\nX=1\n", "DATI", "Delay", "5"), "[ALTRO]\nX=1\n[DATI]\nDelay=5\n");
}

TEST(IniScrittura, ALastLineWithoutLineEndGetsOneBeforeTheNewLine) {
    EXPECT_EQ(scrivi("[DATI]\r\nA=1", "DATI", "Delay", "5"), "[DATI]\r\nA=1\r\nDelay=5\r\n");
    EXPECT_EQ(scrivi("[ALTRO]\nX=1", "DATI", "Delay", "5"), "[ALTRO]\nX=1\n[DATI]\nDelay=5\n");
    EXPECT_EQ(scrivi("[DATI]", "DATI", "Delay", "5"),
              "[DATI]" + kFineRigaPredefinita.toByteArray() + "Delay=5" + kFineRigaPredefinita.toByteArray());
}

TEST(IniScrittura, KeepsTheByteOrderMark) {
    EXPECT_EQ(scrivi("\xEF\xBB\xBF[DATI]\nDelay=1\n", "DATI", "Delay", "2"), "\xEF\xBB\xBF[DATI]\nDelay=2\n");
    const QByteArray soloBom = scrivi("\xEF\xBB\xBF", "DATI", "Delay", "2");
    EXPECT_TRUE(soloBom.startsWith("\xEF\xBB\xBF[DATI]"));
    EXPECT_EQ(leggi(soloBom, "DATI", "Delay"), "2");
}

TEST(IniScrittura, ValuesWithInnerBlanksAndNonAsciiTextRoundTrip) {
    const QString valore = QStringLiteral("Gestione Magazzino — Città");
    const QByteArray c = scriviValore("[DATI]\n", kDati, QStringLiteral("FinestraPGM"), valore);
    EXPECT_EQ(leggiValore(c, kDati, QStringLiteral("FinestraPGM")), valore);
    EXPECT_TRUE(c.contains(valore.toUtf8()));
}

TEST(IniScrittura, ALatin1FileKeepsItsUntouchedBytesAndGetsNewTextInLatin1) {
    const QByteArray prima = "[DATI]\r\nFinestraPGM=Contabilit\xE0\r\nDelay=500\r\n";
    // The same text again leaves the line as it was, not re-encoded as UTF-8.
    EXPECT_EQ(scriviValore(prima, kDati, QStringLiteral("FinestraPGM"), QStringLiteral("Contabilità")),
              prima);
    EXPECT_EQ(scrivi(prima, "DATI", "Delay", "750"), "[DATI]\r\nFinestraPGM=Contabilit\xE0\r\nDelay=750\r\n");
    EXPECT_EQ(scriviValore(prima, kDati, QStringLiteral("Titolo"), QStringLiteral("Città")),
              "[DATI]\r\nFinestraPGM=Contabilit\xE0\r\nDelay=500\r\nTitolo=Citt\xE0\r\n");

    // Text that Latin-1 cannot hold, or that would read back as other text, is refused.
    for (const QString& valore : {QStringLiteral("Città €"), QStringLiteral("Ã¨")}) {
        EXPECT_THAT([&] { (void)scriviValore(prima, kDati, QStringLiteral("FinestraPGM"), valore); },
                    prova::fallisce(OrigineFallimento::FileImpostazioni, kTestoNonRappresentabile,
                                    ::testing::HasSubstr("Latin-1")))
            << valore.toStdString();
    }
}

TEST(IniScrittura, TextThatWouldBreakTheFileLinesIsRefused) {
    const QByteArray c = "[DATI]\nDelay=1\n";
    const auto rifiuta = [&](const char* s, const char* k, const char* v) {
        EXPECT_THAT([&] { (void)scrivi(c, s, k, v); },
                    prova::fallisce(OrigineFallimento::FileImpostazioni, kTestoNonValido))
            << s << " / " << k << " / " << v;
    };
    rifiuta("DATI", "Delay", "5\n[ALTRO]");
    rifiuta("DATI", "Delay", "5\r");
    rifiuta("DATI", "De\nlay", "5");
    rifiuta("DA\rTI", "Delay", "5");
    rifiuta("DATI]", "Delay", "5");
    rifiuta("DATI", "A=B", "5");
    rifiuta("DATI", ";Delay", "5");
    rifiuta("DATI", "[Delay", "5");
    rifiuta("DATI", "  ", "5");
    rifiuta("", "Delay", "5");
    EXPECT_FALSE(motivoTestoNonValido(kDati, QStringLiteral("Delay"), QStringLiteral("a=b;c")));
}

}  // namespace
}  // namespace tastalo::ini
