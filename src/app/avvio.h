#pragma once

namespace tastalo {

struct Configurazione;
class IniProgramma;
class Messaggi;

// Loads spooling.ini from the program folder into `configurazione`, or
// creates it with the defaults when it does not exist, then builds the
// connection string. Problems are told to the operator through `messaggi`
// and the program goes on with usable values.
void caricaConfigurazione(const IniProgramma& ini, Configurazione& configurazione, Messaggi& messaggi);

}  // namespace tastalo
