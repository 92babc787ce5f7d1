#pragma once

#include <cstdint>

// Column type codes as a SQL Server Compact catalog stores them.
namespace tastalo::compact::tipo {

inline constexpr std::uint16_t kTinyint = 0x00;
inline constexpr std::uint16_t kSmallint = 0x01;
inline constexpr std::uint16_t kInt = 0x03;
inline constexpr std::uint16_t kBigint = 0x05;
inline constexpr std::uint16_t kNchar = 0x07;
inline constexpr std::uint16_t kNvarchar = 0x08;
inline constexpr std::uint16_t kNtext = 0x09;
inline constexpr std::uint16_t kVarbinary = 0x0B;
inline constexpr std::uint16_t kImage = 0x0C;
inline constexpr std::uint16_t kDatetime = 0x0D;
inline constexpr std::uint16_t kUniqueidentifier = 0x0E;
inline constexpr std::uint16_t kBit = 0x0F;
inline constexpr std::uint16_t kReal = 0x10;
inline constexpr std::uint16_t kFloat = 0x11;
inline constexpr std::uint16_t kMoney = 0x12;

}  // namespace tastalo::compact::tipo
