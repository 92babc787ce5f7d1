#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// A column value as a SQL Server Compact file stores it, before any
// conversion: the program and the database maker each turn it into their own.
namespace tastalo::compact {

// datetime: days since 1900-01-01 (negative before it) and ticks of 1/300 s
// since midnight.
struct DataOra {
    std::int32_t giorni = 0;
    std::uint32_t tick = 0;
    bool operator==(const DataOra&) const = default;
};

// money: an exact number of ten-thousandths.
struct Denaro {
    std::int64_t decimillesimi = 0;
    bool operator==(const Denaro&) const = default;
};

// uniqueidentifier: its 16 bytes as stored (the first three groups
// little-endian, as Windows keeps a GUID).
struct Guid {
    std::array<std::uint8_t, 16> byte{};
    bool operator==(const Guid&) const = default;
};

using Binario = std::vector<std::uint8_t>;

// null | integers and bit | real and float | nvarchar and ntext | varbinary
// and image | datetime | money | uniqueidentifier.
using ValoreCompact =
    std::variant<std::monostate, std::int64_t, double, std::u16string, Binario, DataOra, Denaro, Guid>;

// "YYYY-MM-DD HH:MM:SS.mmm", milliseconds rounded from the 1/300 s ticks.
std::string testoDataOra(const DataOra& valore);
// The exact value with four decimals: "32.3800", "-0.0001".
std::string testoDenaro(const Denaro& valore);
// "6f9619ff-8b86-d011-b42d-00c04fc964ff" style: lower case, groups 8-4-4-4-12,
// the first three groups read little-endian.
std::string testoGuid(const Guid& valore);

}  // namespace tastalo::compact
