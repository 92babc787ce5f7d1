#pragma once

#include <cstdint>

class QEventLoop;

namespace tastalo {

// The send's waits and its look at pending events, behind an interface so
// that tests run a send without real time passing.
class PausaInvio {
public:
    virtual ~PausaInvio() = default;
    // Waits `millisecondi`; the windows keep repainting meanwhile, but the
    // operator's input waits for the next elaboraEventi().
    virtual void attendi(std::int32_t millisecondi) = 0;
    // Handles every pending event, the operator's input included.
    virtual void elaboraEventi() = 0;
    // Ends a wait in progress at once (the main window is closing).
    virtual void interrompi() = 0;
};

class PausaInvioQt final : public PausaInvio {
public:
    void attendi(std::int32_t millisecondi) override;
    void elaboraEventi() override;
    void interrompi() override;

private:
    QEventLoop* m_attesa = nullptr;
    bool m_interrotta = false;
};

}  // namespace tastalo
