#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace tastalo {

// A one-shot timer behind an interface, so that tests fire it by hand.
class Temporizzatore {
public:
    virtual ~Temporizzatore() = default;
    virtual void avvia(int millisecondi, std::function<void()> allo_scadere) = 0;
    virtual void ferma() = 0;
};

class TemporizzatoreQt final : public Temporizzatore {
public:
    TemporizzatoreQt();
    void avvia(int millisecondi, std::function<void()> allo_scadere) override;
    void ferma() override;

private:
    QTimer m_timer;
    std::function<void()> m_azione;
};

}  // namespace tastalo
