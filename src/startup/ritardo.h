#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

namespace tastalo {

// Start-up's reading of the Delay text: blanks trimmed, then a whole number
// from 0 to 2147483647, or a decimal number (point or comma) that rounds, half
// to even, into that range. Anything else gives nothing.
std::optional<std::int32_t> ritardoDaTesto(QStringView testo);

// The settings dialog's check: blanks trimmed, then only a whole number of
// milliseconds from 0 to 2147483647.
std::optional<std::int32_t> ritardoInteroDaTesto(QStringView testo);

}  // namespace tastalo
