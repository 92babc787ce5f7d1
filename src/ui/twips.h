#pragma once

#include <QRect>
#include <QWidget>
#include <cmath>

namespace tastalo {

// Layouts are designed in twips: 15 to a device-independent pixel.
inline constexpr double kTwipsInUnPixel = 15.0;

inline int twipsInPixel(double twips) { return static_cast<int>(std::lround(twips / kTwipsInUnPixel)); }
inline double pixelInTwips(double pixel) { return pixel * kTwipsInUnPixel; }

inline QRect rettangoloInTwips(int sinistra, int alto, int larghezza, int altezza) {
    return {twipsInPixel(sinistra), twipsInPixel(alto), twipsInPixel(larghezza), twipsInPixel(altezza)};
}

inline void posizionaInTwips(QWidget& widget, int sinistra, int alto, int larghezza, int altezza) {
    widget.setGeometry(rettangoloInTwips(sinistra, alto, larghezza, altezza));
}

}  // namespace tastalo
