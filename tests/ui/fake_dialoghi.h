#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "ui/dialoghi.h"
#include "ui/frm_cancella.h"

namespace tastalo::prova {

// Answers the main window's dialogs without a modal window and records them.
class FakeDialoghi final : public Dialoghi {
public:
    RispostaCancellazione chiediCancellazione(QWidget*, const QString& lista) override {
        listeMostrate << lista;
        return scelta;
    }
    void mostraImpostazioni(QWidget*) override {
        ++impostazioniMostrate;
        if (allaChiusuraImpostazioni) allaChiusuraImpostazioni();
    }

    RispostaCancellazione scelta = RispostaCancellazione::Annulla;
    QStringList listeMostrate;
    int impostazioniMostrate = 0;
    // Runs as if the operator worked in the settings dialog before it closed.
    std::function<void()> allaChiusuraImpostazioni;
};

}  // namespace tastalo::prova
