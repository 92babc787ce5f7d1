#pragma once

#include <functional>

#include "send/pausa_invio.h"

namespace tastalo::prova {

// The real pauses, with a chance to act as the operator would after each
// barcode (the number of barcodes typed so far is passed).
class PausaConAzione final : public PausaInvio {
public:
    void attendi(std::int32_t millisecondi) override { m_vera.attendi(millisecondi); }
    void elaboraEventi() override {
        ++m_passaggi;
        m_vera.elaboraEventi();
        if (m_azione) m_azione(m_passaggi);
    }
    void interrompi() override { m_vera.interrompi(); }
    std::function<void(int)> m_azione;

private:
    PausaInvioQt m_vera;
    int m_passaggi = 0;
};

}  // namespace tastalo::prova
