// Files saved as UTF-16 are edited without losing their encoding.
#include <gtest/gtest.h>

#include <QStringEncoder>

#include "settings/ini_file.h"

namespace tastalo::ini {
namespace {

QByteArray utf16(QStringConverter::Encoding encoding, const QString& testo) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(testo);
}

TEST(IniCodifica, Utf8AndPlainBytesPassThroughUntouched) {
    const QByteArray grezzo = "\xEF\xBB\xBF[DATI]\nX=Citt\xE0\n";
    const TestoDecodificato t = decodifica(grezzo);
    EXPECT_EQ(t.codifica, Codifica::Utf8);
    EXPECT_TRUE(t.valido);
    EXPECT_EQ(t.utf8, grezzo);
    EXPECT_EQ(codifica(t.utf8, t.codifica), grezzo);
}

TEST(IniCodifica, Utf16FilesAreReadAndWrittenBackInTheirEncoding) {
    const QString testo = QStringLiteral("; città\r\n[DATI]\r\nDelay=500\r\n");
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        const QByteArray grezzo = utf16(encoding, testo);
        const TestoDecodificato t = decodifica(grezzo);
        ASSERT_TRUE(t.valido);
        EXPECT_EQ(leggiValore(t.utf8, QStringLiteral("DATI"), QStringLiteral("Delay")), "500");
        EXPECT_EQ(codifica(t.utf8, t.codifica), grezzo);  // unchanged text, same bytes

        const QByteArray scritto = codifica(
            scriviValore(t.utf8, QStringLiteral("DATI"), QStringLiteral("Delay"), QStringLiteral("750")),
            t.codifica);
        EXPECT_EQ(scritto, utf16(encoding, QStringLiteral("; città\r\n[DATI]\r\nDelay=750\r\n")));
    }
}

TEST(IniCodifica, BrokenUtf16IsFlaggedSoThatItIsNotRewritten) {
    QByteArray grezzo = utf16(QStringConverter::Utf16LE, QStringLiteral("[DATI]\r\n"));
    grezzo += QByteArray("\x00\xD8", 2);  // a lone high surrogate
    EXPECT_FALSE(decodifica(grezzo).valido);
    grezzo = utf16(QStringConverter::Utf16LE, QStringLiteral("[DATI]")) + 'x';  // odd byte count
    EXPECT_FALSE(decodifica(grezzo).valido);
}

}  // namespace
}  // namespace tastalo::ini
