#pragma once

#include <QObject>

class QWidget;

namespace tastalo {

class Temporizzatore;

// Keeps the Enters that close a send's message from starting another send:
// a repeating Enter (the key held down since it closed the box) never
// counts, and once armed an Enter pressed within kAttesaMs counts neither (a
// double press, whose second stroke reaches the main window once the box has
// gone). Any other key, a click or another window taking over ends the wait:
// the operator has moved on.
class GuardiaEnter final : public QObject {
public:
    static constexpr int kAttesaMs = 1000;

    explicit GuardiaEnter(Temporizzatore& tempo);

    // Watches the Enters that reach `widget` (a window or one of its controls).
    void sorveglia(QWidget& widget);
    // Starts the wait: called when a send and its message have ended.
    void arma();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void disarma();

    Temporizzatore& m_tempo;
    bool m_armata = false;
    // When the last Enter was let go, by the window system's clock.
    quint64 m_ultimoRilascio = 0;
};

}  // namespace tastalo
