#pragma once

#include <QString>

namespace tastalo {

// The database file that a connection string names: the text after
// "Data Source=" up to the final ";" (to the end when there is none after
// it). Empty when the string names no data source; opening that fails.
QString percorsoDaStringaConnessione(const QString& stringaConnessione);

}  // namespace tastalo
