#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

namespace tastalo {

// The reading of a Delay text, at start-up and in the settings dialog alike:
// blanks trimmed, then a number from 0 to 2147483647 written the Italian way:
// "." between groups of three digits (1.000, 12.500), "," before decimals,
// which round half to even (1,5 is 2). A "." anywhere else (750.5) and
// anything else give nothing.
std::optional<std::int32_t> ritardoDaTesto(QStringView testo);

}  // namespace tastalo
