#pragma once

#include <QFontMetricsF>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tastalo::prova {

// The child control of that object name, or a failed test when it is missing.
template <class T>
T& controllo(const QObject& finestra, const QString& nome) {
    T* trovato = finestra.findChild<T*>(nome);
    if (trovato == nullptr) throw std::runtime_error("no control named " + nome.toStdString());
    return *trovato;
}

// The width a list column must take for `testi` in the view's font, worked
// out apart: every text in twips with 200 added, the largest taken, then
// turned into whole pixels.
inline int larghezzaAttesa(const QWidget& vista, const QStringList& testi) {
    const QFontMetricsF metriche(vista.font());
    double massimaTwips = 0;
    for (const QString& testo : testi) {
        massimaTwips = std::max(massimaTwips, metriche.horizontalAdvance(testo) * 15.0 + 200.0);
    }
    return static_cast<int>(std::lround(massimaTwips / 15.0));
}

}  // namespace tastalo::prova
