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

TEST(RitardoDaTesto, DecimalsAfterACommaRoundHalfToEven) {
    const std::pair<const char*, int> casi[] = {
        {"2,5", 2},       {"3,5", 4},
        {"1,5", 2},       {"2,50000", 2},
        {"2,500001", 3},  {"749,6", 750},
        {" 750,0 ", 750}, {"0,5", 0},
        {",5", 0},        {",6", 1},
        {"7,", 7},        {"-0,4", 0},
        {"-0,5", 0},      {"2,4999999999999999999", 2},  // a double would make this 2.5
    };
    for (const auto& [testo, atteso] : casi) EXPECT_EQ(avvio(testo), atteso) << testo;
    EXPECT_FALSE(avvio("-0,6"));
}

TEST(RitardoDaTesto, PointsSeparateThousandsOnlyBeforeGroupsOfThreeDigits) {
    const std::pair<const char*, int> casi[] = {
        {"1.000", 1000},       {"12.500", 12500}, {"1.000.000", 1000000},
        {"1.000,5", 1000},     {"1.001,5", 1002}, {"2.147.483.647", 2147483647},
        {" 500.000 ", 500000},
    };
    for (const auto& [testo, atteso] : casi) EXPECT_EQ(avvio(testo), atteso) << testo;
    for (const char* ambiguo : {"750.5", "2.5", "1.00", "1.0000", "7.", ".5", ".500", "1000.000", "1..000",
                                "1.000.00", "1,000.5", "2.147.483.648"}) {
        EXPECT_FALSE(avvio(ambiguo)) << '"' << ambiguo << '"';
    }
}

TEST(RitardoDaTesto, RoundingAtTheTopOfTheRange) {
    EXPECT_EQ(avvio("2147483646,5"), 2147483646);  // even: stays
    EXPECT_EQ(avvio("2147483647,4"), 2147483647);
    EXPECT_FALSE(avvio("2147483647,5"));  // odd: goes up, out of range
    EXPECT_EQ(avvio("2147483646,6"), 2147483647);
}

TEST(RitardoDaTesto, AnythingElseGivesNothing) {
    for (const char* testo : {"", "   ", "abc", "5a", "1e3", "0x10", "5 0", "1,5,5", "1,5.5", ".", ",", "+",
                              "-", "- 5", "5-", "1'000", "١٢", "５"}) {
        EXPECT_FALSE(avvio(testo)) << '"' << testo << '"';
    }
}

}  // namespace
}  // namespace tastalo
