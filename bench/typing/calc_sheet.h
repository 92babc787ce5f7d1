#pragma once

#include <QString>
#include <QStringList>

namespace tastalo::bench {

// LibreOffice Calc as a target: the flat OpenDocument spreadsheet it types
// into and saves, and the user profile it runs with.

// A sheet whose every cell is formatted as text, so that Calc keeps what is
// typed as typed (no numbers, dates or formulas read into it).
QString emptyTextSheet();

// The settings of a profile in which Calc changes nothing typed:
// AutoInput (completion from the column) and every AutoCorrect option
// off, and no first-start dialogs.
QString profileSettings();

// The texts of column `column` (0-based) of the first sheet, from the
// first row to the last that is not empty; empty when the file cannot be
// read as a flat spreadsheet.
QStringList columnOf(const QString& flatOds, int column);

}  // namespace tastalo::bench
