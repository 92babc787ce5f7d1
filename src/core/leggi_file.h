#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/fallimento.h"

namespace tastalo {

// The whole content of the file at `percorso`, or nothing when no file is
// there. A pipe or a device is refused rather than read: the opening could
// block until someone writes, and a device may never end. Any failure throws
// Fallimento(origine) with the system's code and "Impossibile leggere
// <cosa> <percorso>: <reason>", `cosa` naming the file for the operator.
std::optional<QByteArray> leggiFile(const QString& percorso, OrigineFallimento origine, const QString& cosa);

}  // namespace tastalo
