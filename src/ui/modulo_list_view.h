#pragma once

#include <cstdint>

namespace tastalo {

class ListView;
class Recordset;

// Shows the rows of a query result in a report-style list view whose column
// headers name the fields that fill them (matched without regard to case),
// and fits the columns to their contents. The caller owns the result and
// closes it; failures of the result pass to the caller.
namespace moduloListView {

// The margin added to every measured text, in twips.
inline constexpr double kMargineTwips = 200.0;

// Every row of the result, then the columns fitted with headers counting.
void MostraRecordset(Recordset& risultato, ListView& lista);

// Appends one row per row of the result, from its first row, stopping after
// `limite` rows when it is positive. A value with no text (bytes that are no
// text) shows as a note naming its row in the result. The rows go in as one
// batch: on a failure part way none is added. A list view without columns leaves the result
// untouched. A header naming no field of the result is a failure.
void RiempiListView(ListView& lista, Recordset& risultato, std::int32_t limite);

// Sets every column to its widest text in the list view's font plus the
// margin, measured in twips and applied in pixels. A list view without rows
// keeps its widths.
void AdattaColonne(ListView& lista, bool intestazioni);

}  // namespace moduloListView
}  // namespace tastalo
