#pragma once

#include <QString>

class QWidget;

namespace tastalo {

struct Configurazione;
class IniProgramma;
class Messaggi;
class SceltaFile;
enum class RispostaCancellazione;  // the deletion dialog's answer, in ui/frm_cancella.h

// The main window's modal dialogs, behind an interface so that tests answer
// them without a modal window.
class Dialoghi {
public:
    virtual ~Dialoghi() = default;
    // Asks which lists to delete; `lista` is the single-list choice's caption.
    virtual RispostaCancellazione chiediCancellazione(QWidget* genitore, const QString& lista) = 0;
    // The settings dialog; returns when it has closed, saved or not.
    virtual void mostraImpostazioni(QWidget* genitore) = 0;
};

// The real dialogs, built afresh for each showing and destroyed on closing.
class DialoghiQt final : public Dialoghi {
public:
    DialoghiQt(IniProgramma& ini, Configurazione& configurazione, Messaggi& messaggi, SceltaFile& sceltaFile);

    RispostaCancellazione chiediCancellazione(QWidget* genitore, const QString& lista) override;
    void mostraImpostazioni(QWidget* genitore) override;

private:
    IniProgramma& m_ini;
    Configurazione& m_configurazione;
    Messaggi& m_messaggi;
    SceltaFile& m_sceltaFile;
};

}  // namespace tastalo
