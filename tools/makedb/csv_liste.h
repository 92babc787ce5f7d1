#pragma once

#include <QByteArray>
#include <vector>

#include "database_liste.h"

namespace tastalo::makedb {

// The code of the failure for a CSV text that cannot be read as lists.
inline constexpr std::int32_t kCsvNonValido = 13;

// The CSV form of lists, for --help.
extern const char* const kFormatoCsv;

// Reads lists from CSV text (see kFormatoCsv). Lists keep the order of their
// first line, barcodes the order of their lines. A fault fails
// (Program, kCsvNonValido) naming the line.
std::vector<Lista> leggiCsv(const QByteArray& utf8);

}  // namespace tastalo::makedb
