#pragma once

#include <QString>

namespace tastalo {

// "Versione " and the three numbers in plain decimal, dot-separated.
QString rigaVersione(int maggiore, int minore, int revisione);

// The version line of this build, from the version declared in CMake.
QString rigaVersioneProgramma();

}  // namespace tastalo
