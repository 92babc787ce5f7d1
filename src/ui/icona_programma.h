#pragma once

#include <QIcon>
#include <QPixmap>

namespace tastalo {

// The program's logo at `lato` × `lato` pixels, from the bitmaps that the
// build draws from its SVG: the one of that size, or the next larger one
// scaled down smoothly.
QPixmap logoProgramma(int lato = 256);

// The logo as the window icon of every window of the program.
QIcon iconaProgramma();

}  // namespace tastalo
