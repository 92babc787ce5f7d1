#include "ui/guardia_enter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include "ui/temporizzatore.h"

namespace tastalo {
namespace {

bool eEnter(const QKeyEvent& tasto) { return tasto.key() == Qt::Key_Return || tasto.key() == Qt::Key_Enter; }

}  // namespace

GuardiaEnter::GuardiaEnter(Temporizzatore& tempo) : m_tempo(tempo) {}

void GuardiaEnter::sorveglia(QWidget& widget) { widget.installEventFilter(this); }

void GuardiaEnter::arma() {
    m_armata = true;
    m_tempo.avvia(kAttesaMs, [this] { m_armata = false; });
}

void GuardiaEnter::disarma() {
    if (!m_armata) return;
    m_armata = false;
    m_tempo.ferma();
}

bool GuardiaEnter::eventFilter(QObject* oggetto, QEvent* evento) {
    switch (evento->type()) {
        case QEvent::KeyPress: {
            const auto* tasto = static_cast<const QKeyEvent*>(evento);
            if (!eEnter(*tasto)) {
                disarma();
                break;
            }
            // An X server repeats a held key as a release and a press at the
            // same instant, which Qt does not always mark as a repeat.
            const bool ripetuto =
                tasto->isAutoRepeat() || (tasto->timestamp() != 0 && tasto->timestamp() == m_ultimoRilascio);
            // Eaten here, before a focused button or the window sees it.
            return ripetuto || m_armata;
        }
        case QEvent::KeyRelease: {
            const auto* tasto = static_cast<const QKeyEvent*>(evento);
            if (eEnter(*tasto)) m_ultimoRilascio = tasto->timestamp();
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::WindowDeactivate: disarma(); break;
        default: break;
    }
    return QObject::eventFilter(oggetto, evento);
}

}  // namespace tastalo
