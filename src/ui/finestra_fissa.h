#pragma once

#include <Qt>

class QWidget;

namespace tastalo {

// The program's windows and dialogs keep the size they are drawn at: a title
// bar with the system menu and the close button, no maximise, no resizing.
inline constexpr Qt::WindowFlags kFinestraFissa = Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                                                  Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                  Qt::WindowCloseButtonHint;

// Moves the window, frame included, to the centre of its screen's work area
// (the primary screen's before it is shown).
void centraSulloSchermo(QWidget& finestra);

}  // namespace tastalo
