#pragma once

#include <QIcon>
#include <QPixmap>

namespace tastalo {

// The program's logo drawn at `lato` × `lato` pixels from the SVG in the resources.
QPixmap logoProgramma(int lato = 256);

// The logo as the window icon of every window of the program.
QIcon iconaProgramma();

}  // namespace tastalo
