#pragma once

#include <Qt>

class QWidget;

namespace tastalo {

// The fixed dialog border every window of the program has: drawn by the
// system, it cannot be dragged to resize the window. Nothing else is on it.
inline constexpr Qt::WindowFlags kBordoFisso = Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint;

// The program's windows and dialogs keep the size they are drawn at: the
// fixed border, a title bar with the system menu and the close button, no
// maximise.
inline constexpr Qt::WindowFlags kFinestraFissa =
    kBordoFisso | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Moves the window, frame included, to the centre of its screen's work area
// (the primary screen's before it is shown).
void centraSulloSchermo(QWidget& finestra);

}  // namespace tastalo
