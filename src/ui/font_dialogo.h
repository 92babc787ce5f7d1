#pragma once

#include <QFont>

class QWidget;

namespace tastalo {

// Arial at `punti` points, or its metric-compatible substitute where Arial
// is missing.
QFont arial(double punti, bool grassetto = false);

// True when every label of the window shows its whole text in its box.
bool didascalieEntrano(const QWidget& finestra);

// The twips layouts were drawn for an 8 pt dialog font. When the system's font
// is too wide for them, the window switches to Arial (or its metric-compatible
// substitute) at 8.25 pt, so that no caption is cut off.
QFont fontDisegnoInTwips();
void adattaFontDialogo(QWidget& finestra);

}  // namespace tastalo
