#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "ui/scelta_file.h"

namespace tastalo::prova {

// Answers the open-file dialog with a prepared name (or a cancel) and
// records how it was asked.
class FakeSceltaFile final : public SceltaFile {
public:
    struct Richiesta {
        QWidget* genitore;
        QString titolo;
        std::vector<TipoFile> tipi;
        QString nomeIniziale;
    };

    void rispondi(std::optional<QString> risposta) { m_risposta = std::move(risposta); }

    std::optional<QString> apriFile(QWidget* genitore, const QString& titolo,
                                    const std::vector<TipoFile>& tipi, const QString& nomeIniziale) override {
        m_richieste.push_back({genitore, titolo, tipi, nomeIniziale});
        return m_risposta;
    }

    const std::vector<Richiesta>& richieste() const { return m_richieste; }

private:
    std::optional<QString> m_risposta;
    std::vector<Richiesta> m_richieste;
};

}  // namespace tastalo::prova
