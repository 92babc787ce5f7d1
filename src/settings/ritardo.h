#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

namespace tastalo {

// The reading of a Delay text, at start-up and in the settings dialog alike:
// blanks trimmed, then a whole number from 0 to 2147483647, or a decimal
// number (point or comma) that rounds, half to even, into that range.
// Anything else gives nothing.
std::optional<std::int32_t> ritardoDaTesto(QStringView testo);

}  // namespace tastalo
