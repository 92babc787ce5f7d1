#pragma once

class QTranslator;

namespace tastalo {

// Puts Qt's own texts (standard buttons, the file chooser, the context menus
// of text fields) into Italian, whatever the system's language: the program
// speaks Italian only. Call it once the application object exists and before
// any window. Gives the translator, owned by the application (deleting it
// takes it out again), or nullptr when the catalogue could not be read.
QTranslator* installaTraduzioniQt();

}  // namespace tastalo
