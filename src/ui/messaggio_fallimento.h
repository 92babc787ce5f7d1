#pragma once

#include <QString>

#include "core/fallimento.h"

namespace tastalo {

// The critical box text for a failure while loading or deleting lists: the
// code in decimal, " - ", the description. The same for every source, so a
// locked database (5) reads as the database's own failure and never as the
// send's missing-window notice.
QString codiceTrattinoDescrizione(const Fallimento& fallimento);

}  // namespace tastalo
