#include "send/pausa_invio.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace tastalo {

void PausaInvioQt::attendi(std::int32_t millisecondi) {
    m_interrotta = false;
    QDeadlineTimer scadenza(std::max<std::int32_t>(millisecondi, 0), Qt::PreciseTimer);
    // A timer may wake the loop a little early; wait again until the
    // deadline has really passed, so the pause is never shorter than asked.
    while (!m_interrotta && !scadenza.hasExpired()) {
        QEventLoop attesa;
        QTimer sveglia;
        sveglia.setTimerType(Qt::PreciseTimer);
        sveglia.setSingleShot(true);
        QObject::connect(&sveglia, &QTimer::timeout, &attesa, &QEventLoop::quit);
        sveglia.start(static_cast<int>(scadenza.remainingTime()));
        m_attesa = &attesa;
        attesa.exec(QEventLoop::ExcludeUserInputEvents);
        m_attesa = nullptr;
    }
}

void PausaInvioQt::elaboraEventi() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void PausaInvioQt::interrompi() {
    m_interrotta = true;
    if (m_attesa != nullptr) m_attesa->quit();
}

}  // namespace tastalo
