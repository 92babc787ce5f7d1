#pragma once

#include <QDialog>

#include "ui/impostazioni_dialogo.h"

class QLineEdit;
class QPushButton;

namespace tastalo {

struct Configurazione;
class IniProgramma;
class Messaggi;
class SceltaFile;

// "Impostazioni": shows the three settings as spooling.ini holds them, lets
// the operator edit them and saves them to the file and to Configurazione.
// Accepted when saved, rejected when left ("&Esci" or the close box).
// Neither Enter in a box nor Esc ends it.
class frmImposta : public QDialog {
    Q_OBJECT

public:
    frmImposta(IniProgramma& ini, Configurazione& configurazione, Messaggi& messaggi, SceltaFile& sceltaFile,
               QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void creaControlli();
    void Form_Load();
    void cmdSfoglia_Click();
    void cmdEsegui_Click();
    void cmdExit_Click();
    TestiImpostazioni testi() const;

    ImpostazioniDialogo m_impostazioni;
    Messaggi& m_messaggi;
    SceltaFile& m_sceltaFile;

    QLineEdit* m_txtDB = nullptr;
    QLineEdit* m_txtFinestra = nullptr;
    QLineEdit* m_txtDelay = nullptr;
    QPushButton* m_cmdSfoglia = nullptr;
    QPushButton* m_cmdEsegui = nullptr;
    QPushButton* m_cmdExit = nullptr;
};

}  // namespace tastalo
