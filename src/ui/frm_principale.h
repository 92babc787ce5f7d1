#pragma once

#include <QMainWindow>

#include "ui/guardia_enter.h"

class QAction;
class QCloseEvent;
class QComboBox;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace tastalo {

class ArchivioListe;
struct Configurazione;
class Dialoghi;
class InvioBarcode;
class ListView;
class Messaggi;
class Temporizzatore;

// "Invia Dati": the lists in cmbListe ("<id> - <name>", the id attached to
// the entry), the chosen list's barcodes in Lista, and the buttons to send
// (cmdEsegui), delete (cmdCancella) and leave (cmdExit). Everything shown is
// read afresh from the database at each refill; nothing stays open between
// two operations. The lists are first loaded just before the window is first
// shown, so a notice about a missing database comes before the window.
// The Enters that close a send's message start nothing (GuardiaEnter).
class frmPrincipale : public QMainWindow {
    Q_OBJECT

public:
    frmPrincipale(const Configurazione& configurazione, const ArchivioListe& archivio, Messaggi& messaggi,
                  Dialoghi& dialoghi, InvioBarcode& invio, Temporizzatore& tempo, QWidget* parent = nullptr);

    void setVisible(bool visible) override;

protected:
    // Enter presses "&Scrivi" unless a button has the focus; Escape closes.
    void keyPressEvent(QKeyEvent* evento) override;
    // Closing during a send stops it at once: nothing is typed once the
    // window is gone.
    void closeEvent(QCloseEvent* evento) override;

private:
    void costruisciMenu();
    void costruisciControlli();

    void Form_Load();
    void AggiornaListe();
    bool CaricaListe();
    void cmbListe_Click();
    void cmdEsegui_Click();
    void cmdCancella_Click();
    void mnuFileImposta_Click();

    const Configurazione& m_configurazione;
    const ArchivioListe& m_archivio;
    Messaggi& m_messaggi;
    Dialoghi& m_dialoghi;
    InvioBarcode& m_invio;
    GuardiaEnter m_guardiaEnter;
    bool m_caricata = false;

    QLabel* m_label1 = nullptr;
    QComboBox* m_cmbListe = nullptr;
    ListView* m_lista = nullptr;
    QPushButton* m_cmdEsegui = nullptr;
    QPushButton* m_cmdCancella = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QAction* m_mnuFileImposta = nullptr;
    QAction* m_mnuExit = nullptr;
};

}  // namespace tastalo
