#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "core/messaggi.h"

namespace tastalo::prova {

// Records every message instead of showing a modal box.
class FakeMessaggi final : public Messaggi {
public:
    enum class Icona { Informazione, Errore };
    struct Messaggio {
        Icona icona;
        QString testo;
    };

    void informazione(const QString& testo) override { registra(Icona::Informazione, testo); }
    void errore(const QString& testo) override { registra(Icona::Errore, testo); }

    const std::vector<Messaggio>& messaggi() const { return m_messaggi; }
    QStringList testi() const {
        QStringList t;
        for (const auto& m : m_messaggi) t << m.testo;
        return t;
    }
    void svuota() { m_messaggi.clear(); }
    // Runs while a message is "shown", as the operator would act behind a modal box.
    void allaComparsa(std::function<void(const Messaggio&)> azione) { m_azione = std::move(azione); }

private:
    void registra(Icona icona, const QString& testo) {
        m_messaggi.push_back({icona, testo});
        if (m_azione) m_azione(m_messaggi.back());
    }
    std::vector<Messaggio> m_messaggi;
    std::function<void(const Messaggio&)> m_azione;
};

}  // namespace tastalo::prova
