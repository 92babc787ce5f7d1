#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "send/pausa_invio.h"

namespace tastalo::prova {

// The send's pauses without real time: each wait and each pass over pending
// events is told to `registra`, and `durante` runs at each pass, where the
// operator could act in the middle of a send.
class PausaFinta final : public PausaInvio {
public:
    void attendi(std::int32_t millisecondi) override {
        if (registra) registra(QStringLiteral("pausa %1").arg(millisecondi));
    }
    void elaboraEventi() override {
        if (registra) registra(QStringLiteral("eventi"));
        if (durante) durante();
    }
    void interrompi() override {
        if (registra) registra(QStringLiteral("interrompi"));
    }

    std::function<void(const QString&)> registra;
    std::function<void()> durante;
};

}  // namespace tastalo::prova
