#include "ui/temporizzatore.h"

namespace tastalo {

TemporizzatoreQt::TemporizzatoreQt() {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_azione) m_azione();
    });
}

void TemporizzatoreQt::avvia(int millisecondi, std::function<void()> allo_scadere) {
    m_azione = std::move(allo_scadere);
    m_timer.start(millisecondi);
}

void TemporizzatoreQt::ferma() { m_timer.stop(); }

}  // namespace tastalo
