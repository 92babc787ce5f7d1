#pragma once

#include "checks.h"

namespace tastalo::prova {

// A send whose watch the system refuses goes on as before and says so.
void checkRefusedWatch(Checks& checks);

// The time of a 2,000-barcode send into a fast target, with the watch over
// the keys and, in the same run, without it (keys judged by the window in
// front alone, as when the system refuses the watch), three times each:
// printed with the cost per key. Run on demand (--cost), not by the test.
void measureWatchCost(Checks& checks);

}  // namespace tastalo::prova
