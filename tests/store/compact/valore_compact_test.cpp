#include <gtest/gtest.h>

#include <limits>

#include "store/compact/valore_compact.h"

namespace tastalo::prova {
namespace {

using namespace tastalo::compact;

TEST(ValoreCompact, DatesCountDaysFrom1900AndRoundTicksToMilliseconds) {
    const struct {
        DataOra valore;
        const char* testo;
    } casi[] = {
        {{0, 0}, "1900-01-01 00:00:00.000"},
        {{17873, 0}, "1948-12-08 00:00:00.000"},
        {{-53690, 0}, "1753-01-01 00:00:00.000"},
        {{2958463, 25919999}, "9999-12-31 23:59:59.997"},
        {{36583, 1}, "2000-02-29 00:00:00.003"},
        {{36583, 2}, "2000-02-29 00:00:00.007"},
        {{36583, 300 * 3661}, "2000-02-29 01:01:01.000"},
    };
    for (const auto& caso : casi) EXPECT_EQ(testoDataOra(caso.valore), caso.testo) << caso.valore.giorni;
}

TEST(ValoreCompact, MoneyIsWrittenExactlyWithFourDecimals) {
    const struct {
        std::int64_t decimillesimi;
        const char* testo;
    } casi[] = {{323800, "32.3800"},
                {-1, "-0.0001"},
                {0, "0.0000"},
                {std::numeric_limits<std::int64_t>::max(), "922337203685477.5807"},
                {std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808"}};
    for (const auto& caso : casi) EXPECT_EQ(testoDenaro({caso.decimillesimi}), caso.testo);
}

TEST(ValoreCompact, GuidsShowTheirFirstThreeGroupsLittleEndian) {
    const Guid guid{
        {0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4, 0x2D, 0x00, 0xC0, 0x4F, 0xC9, 0x64, 0xFF}};
    EXPECT_EQ(testoGuid(guid), "6f9619ff-8b86-d011-b42d-00c04fc964ff");
}

}  // namespace
}  // namespace tastalo::prova
