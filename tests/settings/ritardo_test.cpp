// Turning the Delay text into milliseconds.
#include <gtest/gtest.h>

#include <QString>

#include "settings/ritardo.h"

namespace tastalo {
namespace {

std::optional<std::int32_t> avvio(const char* testo) { return ritardoDaTesto(QString::fromUtf8(testo)); }

TEST(RitardoDaTesto, WholeNumbersWithBlanksAroundThemAcrossTheRange) {
    EXPECT_EQ(avvio("500"), 500);
    EXPECT_EQ(avvio(" 750 "), 750);
    EXPECT_EQ(avvio("\t 750\t"), 750);
    EXPECT_EQ(avvio("0"), 0);
    EXPECT_EQ(avvio("000500"), 500);
    EXPECT_EQ(avvio("2147483647"), 2147483647);
    EXPECT_EQ(avvio("+12"), 12);
    EXPECT_EQ(avvio("-0"), 0);
    EXPECT_EQ(avvio("0000000000002147483647"), 2147483647);
}

TEST(RitardoDaTesto, OutOfRangeNumbersGiveNothing) {
    EXPECT_FALSE(avvio("2147483648"));
    EXPECT_FALSE(avvio("99999999999999999999"));
    EXPECT_FALSE(avvio("-1"));
    EXPECT_FALSE(avvio("-2147483648"));
}

TEST(RitardoDaTesto, DecimalsRoundHalfToEvenWithPointOrComma) {
    EXPECT_EQ(avvio("2.5"), 2);
    EXPECT_EQ(avvio("3.5"), 4);
    EXPECT_EQ(avvio("2,5"), 2);
    EXPECT_EQ(avvio("3,5"), 4);
    EXPECT_EQ(avvio("2.50000"), 2);
    EXPECT_EQ(avvio("2.500001"), 3);
    EXPECT_EQ(avvio("2.4999999999999999999"), 2);  // a double would make this 2.5
    EXPECT_EQ(avvio("749.6"), 750);
    EXPECT_EQ(avvio(" 750,0 "), 750);
    EXPECT_EQ(avvio("0.5"), 0);
    EXPECT_EQ(avvio(".5"), 0);
    EXPECT_EQ(avvio(".6"), 1);
    EXPECT_EQ(avvio("7."), 7);
    EXPECT_EQ(avvio("-0.4"), 0);
    EXPECT_EQ(avvio("-0.5"), 0);
    EXPECT_FALSE(avvio("-0.6"));
}

TEST(RitardoDaTesto, RoundingAtTheTopOfTheRange) {
    EXPECT_EQ(avvio("2147483646.5"), 2147483646);  // even: stays
    EXPECT_EQ(avvio("2147483647.4"), 2147483647);
    EXPECT_FALSE(avvio("2147483647.5"));  // odd: goes up, out of range
    EXPECT_EQ(avvio("2147483646.6"), 2147483647);
}

TEST(RitardoDaTesto, AnythingElseGivesNothing) {
    for (const char* testo : {"", "   ", "abc", "5a", "1e3", "0x10", "5 0", "1.000.000", "1,5.5", ".", ",",
                              "+", "-", "- 5", "5-", "1'000", "١٢", "５"}) {
        EXPECT_FALSE(avvio(testo)) << '"' << testo << '"';
    }
}

}  // namespace
}  // namespace tastalo
