#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "file_prova.h"
#include "store/valore.h"

namespace tastalo {
namespace {

using test::fallimentoDi;

void attendiFallimento(const Valore& v, std::int32_t codice, const char* descrizione) {
    const Fallimento f = fallimentoDi([&] { (void)v.comeIntero32(); });
    EXPECT_EQ(f.origine(), OrigineFallimento::Conversione);
    EXPECT_EQ(f.codice(), codice);
    EXPECT_EQ(f.descrizione(), descrizione);
}

TEST(ValoreTestoVisibile, ShowsEachKindAsTheListViewExpects) {
    EXPECT_EQ(Valore().comeTestoVisibile(), QString());
    EXPECT_EQ(Valore::intero(-42).comeTestoVisibile(), u"-42");
    EXPECT_EQ(Valore::intero(9'007'199'254'740'993).comeTestoVisibile(), u"9007199254740993");
    EXPECT_EQ(Valore::reale(2.5).comeTestoVisibile(), u"2.5");
    EXPECT_EQ(Valore::reale(100.0).comeTestoVisibile(), u"100");
    EXPECT_EQ(Valore::reale(0.1).comeTestoVisibile(), u"0.1");
    EXPECT_EQ(Valore::testo(QStringLiteral(" 007 città ")).comeTestoVisibile(), u" 007 città ");
    EXPECT_EQ(Valore::binario().comeTestoVisibile(), QString());
}

TEST(ValoreTesto, NullAndBinaryCannotBecomeABarcode) {
    EXPECT_EQ(Valore::testo(QStringLiteral("8001234567890")).comeTesto(), u"8001234567890");
    EXPECT_EQ(Valore::intero(123).comeTesto(), u"123");
    EXPECT_EQ(Valore::reale(-1.25).comeTesto(), u"-1.25");
    EXPECT_EQ(Valore::testo(QString()).comeTesto(), QString());

    const Fallimento nullo = fallimentoDi([] { (void)Valore().comeTesto(); });
    EXPECT_EQ(nullo.origine(), OrigineFallimento::Conversione);
    EXPECT_EQ(nullo.codice(), 94);
    EXPECT_EQ(nullo.descrizione(), "Utilizzo non valido di Null");

    const Fallimento binario = fallimentoDi([] { (void)Valore::binario().comeTesto(); });
    EXPECT_EQ(binario.codice(), 13);
}

TEST(ValoreIntero32, ConvertsWholeNumbersInRangeOfEveryKind) {
    EXPECT_EQ(Valore::intero(7).comeIntero32(), 7);
    EXPECT_EQ(Valore::intero(std::numeric_limits<std::int32_t>::max()).comeIntero32(), 2147483647);
    EXPECT_EQ(Valore::intero(std::numeric_limits<std::int32_t>::min()).comeIntero32(),
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(Valore::reale(12.0).comeIntero32(), 12);
    EXPECT_EQ(Valore::reale(-2147483648.0).comeIntero32(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(Valore::testo(QStringLiteral("12")).comeIntero32(), 12);
    EXPECT_EQ(Valore::testo(QStringLiteral("  -5 ")).comeIntero32(), -5);
    EXPECT_EQ(Valore::testo(QStringLiteral("+8")).comeIntero32(), 8);
    EXPECT_EQ(Valore::testo(QStringLiteral("7.0")).comeIntero32(), 7);
    EXPECT_EQ(Valore::testo(QStringLiteral("1e3")).comeIntero32(), 1000);
    EXPECT_EQ(Valore::testo(QStringLiteral("000000000000000000000042")).comeIntero32(), 42);
}

TEST(ValoreIntero32, NullFailsWithInvalidUseOfNull) {
    attendiFallimento(Valore(), 94, "Utilizzo non valido di Null");
}

TEST(ValoreIntero32, ValuesBeyondThirtyTwoBitsOverflow) {
    attendiFallimento(Valore::intero(2147483648LL), 6, "Overflow");
    attendiFallimento(Valore::intero(-2147483649LL), 6, "Overflow");
    attendiFallimento(Valore::intero(std::numeric_limits<std::int64_t>::max()), 6, "Overflow");
    attendiFallimento(Valore::reale(3e9), 6, "Overflow");
    attendiFallimento(Valore::reale(-std::numeric_limits<double>::infinity()), 6, "Overflow");
    attendiFallimento(Valore::testo(QStringLiteral("2147483648")), 6, "Overflow");
    attendiFallimento(Valore::testo(QStringLiteral("-99999999999999999999999")), 6, "Overflow");
    attendiFallimento(Valore::testo(QStringLiteral("1e999")), 6, "Overflow");
}

TEST(ValoreIntero32, FractionsAndNonNumbersAreATypeMismatch) {
    attendiFallimento(Valore::reale(7.5), 13, "Tipo non corrispondente");
    attendiFallimento(Valore::reale(std::nan("")), 13, "Tipo non corrispondente");
    for (const char* testo : {"", "  ", "abc", "7.5", "12a", "1,5", "-", "0x10", "inf", "nan", "1e", "."}) {
        SCOPED_TRACE(testo);
        attendiFallimento(Valore::testo(QString::fromUtf8(testo)), 13, "Tipo non corrispondente");
    }
    attendiFallimento(Valore::binario(), 13, "Tipo non corrispondente");
}

}  // namespace
}  // namespace tastalo
