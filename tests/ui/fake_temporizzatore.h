#pragma once

#include <functional>

#include "ui/temporizzatore.h"

namespace tastalo::prova {

// A one-shot timer that the test fires by hand.
class FakeTemporizzatore final : public Temporizzatore {
public:
    void avvia(int millisecondi, std::function<void()> allo_scadere) override {
        m_intervallo = millisecondi;
        m_azione = std::move(allo_scadere);
        m_attivo = true;
    }
    void ferma() override { m_attivo = false; }

    // Fires as the real timer would: only while it is running, and once.
    void scatta() {
        if (!m_attivo || !m_azione) return;
        m_attivo = false;
        m_azione();
    }

    bool attivo() const { return m_attivo; }
    int intervallo() const { return m_intervallo; }

private:
    std::function<void()> m_azione;
    bool m_attivo = false;
    int m_intervallo = -1;
};

}  // namespace tastalo::prova
