#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

namespace tastalo::prova {

// The child control of that object name, or a failed test when it is missing.
template <class T>
T& controllo(const QObject& finestra, const QString& nome) {
    T* trovato = finestra.findChild<T*>(nome);
    if (trovato == nullptr) throw std::runtime_error("no control named " + nome.toStdString());
    return *trovato;
}

}  // namespace tastalo::prova
