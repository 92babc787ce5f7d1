#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "store/valore.h"
#include "support/fallimento_atteso.h"

namespace tastalo {
namespace {

using prova::fallisce;

const auto kNullo = fallisce(OrigineFallimento::Conversione, 94, "Utilizzo non valido di Null");
const auto kOverflow = fallisce(OrigineFallimento::Conversione, 6, "Overflow");
const auto kTipo = fallisce(OrigineFallimento::Conversione, 13, "Tipo non corrispondente");

auto intero32(const Valore& v) {
    return [v] { (void)v.comeIntero32(); };
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

TEST(ValoreTestoVisibile, BytesShowAsTheirUtf8TextAndOtherBytesHaveNone) {
    const std::vector<std::pair<QByteArray, std::optional<QString>>> casi = {
        {"8001234567890", QStringLiteral("8001234567890")},
        {"citt\xC3\xA0", QStringLiteral("città")},
        {"", QString()},
        {QByteArray::fromHex("3830ff3031"), std::nullopt},  // not UTF-8
        {QByteArray::fromHex("3830003031"), std::nullopt},  // a NUL
        {QByteArray::fromHex("0102"), std::nullopt},        // control characters
    };
    for (const auto& [byte, atteso] : casi) {
        SCOPED_TRACE(byte.toHex().toStdString());
        EXPECT_EQ(Valore::binario(byte).testoVisibile(), atteso);
        EXPECT_EQ(Valore::binario(byte).comeTestoVisibile(), atteso.value_or(QString()));
    }
}

TEST(ValoreTesto, NullAndBinaryCannotBecomeABarcode) {
    EXPECT_EQ(Valore::testo(QStringLiteral("8001234567890")).comeTesto(), u"8001234567890");
    EXPECT_EQ(Valore::intero(123).comeTesto(), u"123");
    EXPECT_EQ(Valore::reale(-1.25).comeTesto(), u"-1.25");
    EXPECT_EQ(Valore::testo(QString()).comeTesto(), QString());

    EXPECT_THAT([] { (void)Valore().comeTesto(); }, kNullo);
    EXPECT_THAT([] { (void)Valore::binario().comeTesto(); }, kTipo);
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

TEST(ValoreIntero32, NullFailsWithInvalidUseOfNull) { EXPECT_THAT(intero32(Valore()), kNullo); }

TEST(ValoreIntero32, ValuesBeyondThirtyTwoBitsOverflow) {
    EXPECT_THAT(intero32(Valore::intero(2147483648LL)), kOverflow);
    EXPECT_THAT(intero32(Valore::intero(-2147483649LL)), kOverflow);
    EXPECT_THAT(intero32(Valore::intero(std::numeric_limits<std::int64_t>::max())), kOverflow);
    EXPECT_THAT(intero32(Valore::reale(3e9)), kOverflow);
    EXPECT_THAT(intero32(Valore::reale(-std::numeric_limits<double>::infinity())), kOverflow);
    EXPECT_THAT(intero32(Valore::testo(QStringLiteral("2147483648"))), kOverflow);
    EXPECT_THAT(intero32(Valore::testo(QStringLiteral("-99999999999999999999999"))), kOverflow);
    EXPECT_THAT(intero32(Valore::testo(QStringLiteral("1e999"))), kOverflow);
}

TEST(ValoreIntero32, FractionsAndNonNumbersAreATypeMismatch) {
    EXPECT_THAT(intero32(Valore::reale(7.5)), kTipo);
    EXPECT_THAT(intero32(Valore::reale(std::nan(""))), kTipo);
    for (const char* testo : {"", "  ", "abc", "7.5", "12a", "1,5", "-", "0x10", "inf", "nan", "1e", "."}) {
        SCOPED_TRACE(testo);
        EXPECT_THAT(intero32(Valore::testo(QString::fromUtf8(testo))), kTipo);
    }
    EXPECT_THAT(intero32(Valore::binario()), kTipo);
}

}  // namespace
}  // namespace tastalo
