#include "ui/frm_principale.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

#include "core/avvisi.h"
#include "core/messaggi.h"
#include "send/invio_barcode.h"
#include "settings/configurazione.h"
#include "store/archivio_liste.h"
#include "store/chiusura.h"
#include "store/elenco_liste.h"
#include "ui/cancella_liste.h"
#include "ui/dialoghi.h"
#include "ui/finestra_fissa.h"
#include "ui/frm_cancella.h"
#include "ui/icona_programma.h"
#include "ui/list_view.h"
#include "ui/messaggio_fallimento.h"
#include "ui/modulo_list_view.h"
#include "ui/twips.h"

namespace tastalo {

frmPrincipale::frmPrincipale(const Configurazione& configurazione, const ArchivioListe& archivio,
                             Messaggi& messaggi, Dialoghi& dialoghi, InvioBarcode& invio,
                             Temporizzatore& tempo, QWidget* parent)
    : QMainWindow(parent, Qt::Window | kFinestraFissa),
      m_configurazione(configurazione),
      m_archivio(archivio),
      m_messaggi(messaggi),
      m_dialoghi(dialoghi),
      m_invio(invio),
      m_guardiaEnter(tempo) {
    setObjectName(QStringLiteral("frmPrincipale"));
    setWindowTitle(QStringLiteral("Invia Dati"));
    setWindowIcon(iconaProgramma());
    costruisciMenu();
    costruisciControlli();
    // The window is as large as its client area and menu bar, and no larger.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The window and every control that can hold the focus: a focused
    // button answers Enter itself, before the window would see it.
    m_guardiaEnter.sorveglia(*this);
    for (QWidget* controllo : findChildren<QWidget*>()) {
        if (controllo->focusPolicy() != Qt::NoFocus) m_guardiaEnter.sorveglia(*controllo);
    }
}

void frmPrincipale::costruisciMenu() {
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    m_mnuFileImposta = mnuFile->addAction(QStringLiteral("&Impostazioni"));
    m_mnuFileImposta->setObjectName(QStringLiteral("mnuFileImposta"));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnu_"));
    m_mnuExit = mnuFile->addAction(QStringLiteral("&Esci"));
    m_mnuExit->setObjectName(QStringLiteral("mnuExit"));

    connect(m_mnuFileImposta, &QAction::triggered, this, &frmPrincipale::mnuFileImposta_Click);
    connect(m_mnuExit, &QAction::triggered, this, &QWidget::close);
}

void frmPrincipale::costruisciControlli() {
    auto* cliente = new QWidget(this);
    cliente->setFixedSize(twipsInPixel(3750), twipsInPixel(3480));
    setCentralWidget(cliente);

    m_label1 = new QLabel(QStringLiteral("Liste :"), cliente);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    posizionaInTwips(*m_label1, 240, 240, 615, 255);

    // A drop-down list: typing only jumps to an entry, so an entry is
    // selected whenever there is one.
    m_cmbListe = new QComboBox(cliente);
    m_cmbListe->setObjectName(QStringLiteral("cmbListe"));
    m_cmbListe->setEditable(false);
    posizionaInTwips(*m_cmbListe, 960, 240, 2055, 315);

    m_lista = new ListView({QStringLiteral("BarCode")}, cliente);
    m_lista->setObjectName(QStringLiteral("Lista"));
    posizionaInTwips(*m_lista, 1080, 840, 1695, 1575);

    m_cmdEsegui = new QPushButton(QStringLiteral("&Scrivi"), cliente);
    m_cmdEsegui->setObjectName(QStringLiteral("cmdEsegui"));
    m_cmdEsegui->setDefault(true);
    posizionaInTwips(*m_cmdEsegui, 120, 2760, 1095, 375);

    m_cmdCancella = new QPushButton(QStringLiteral("&Cancella"), cliente);
    m_cmdCancella->setObjectName(QStringLiteral("cmdCancella"));
    posizionaInTwips(*m_cmdCancella, 1320, 2760, 1095, 375);

    m_cmdExit = new QPushButton(QStringLiteral("&Esci"), cliente);
    m_cmdExit->setObjectName(QStringLiteral("cmdExit"));
    posizionaInTwips(*m_cmdExit, 2520, 2760, 1095, 375);

    // A focused button answers Enter itself, as in a dialog.
    for (QPushButton* pulsante : {m_cmdEsegui, m_cmdCancella, m_cmdExit}) pulsante->setAutoDefault(true);

    setTabOrder(m_cmbListe, m_lista);
    setTabOrder(m_lista, m_cmdEsegui);
    setTabOrder(m_cmdEsegui, m_cmdCancella);
    setTabOrder(m_cmdCancella, m_cmdExit);
    m_cmbListe->setFocus();

    connect(m_cmbListe, &QComboBox::activated, this, &frmPrincipale::cmbListe_Click);
    connect(m_cmdEsegui, &QPushButton::clicked, this, &frmPrincipale::cmdEsegui_Click);
    connect(m_cmdCancella, &QPushButton::clicked, this, &frmPrincipale::cmdCancella_Click);
    connect(m_cmdExit, &QPushButton::clicked, this, &QWidget::close);
}

void frmPrincipale::setVisible(bool visible) {
    if (visible && !m_caricata) {
        m_caricata = true;
        layout()->activate();
        centraSulloSchermo(*this);
        Form_Load();
    }
    QMainWindow::setVisible(visible);
}

void frmPrincipale::keyPressEvent(QKeyEvent* evento) {
    const bool senzaModificatori =
        evento->modifiers() == Qt::NoModifier ||
        (evento->modifiers() == Qt::KeypadModifier && evento->key() == Qt::Key_Enter);
    if (senzaModificatori) {
        switch (evento->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (qobject_cast<QPushButton*>(focusWidget()) == nullptr) {
                    m_cmdEsegui->click();
                    return;
                }
                break;
            case Qt::Key_Escape: m_cmdExit->click(); return;
            default: break;
        }
    }
    QMainWindow::keyPressEvent(evento);
}

void frmPrincipale::Form_Load() { AggiornaListe(); }

void frmPrincipale::AggiornaListe() {
    m_cmbListe->clear();
    m_lista->righe().svuota();
    if (const auto motivo = motivoFileAssente(m_configurazione.PercorsoDatabase)) {
        m_messaggi.informazione(avvisi::nessunaLista(*motivo));
        return;
    }
    bool caricate = false;
    try {
        caricate = CaricaListe();
    } catch (const Fallimento& fallimento) {
        m_messaggi.errore(codiceTrattinoDescrizione(fallimento));
        return;
    }
    if (caricate) {
        m_cmbListe->setCurrentIndex(0);
        cmbListe_Click();
    }
}

bool frmPrincipale::CaricaListe() {
    // Read in full first: a failure part way leaves the combo as it was.
    const std::vector<VoceLista> voci = leggiListe(m_archivio, m_configurazione.StringaConnessione());
    if (voci.empty()) return false;
    m_cmbListe->clear();
    for (const VoceLista& voce : voci) m_cmbListe->addItem(voce.testo, QVariant(voce.id));
    return true;
}

void frmPrincipale::cmbListe_Click() {
    m_lista->righe().svuota();
    const int indice = m_cmbListe->currentIndex();
    if (indice < 0) return;
    const std::int32_t idLista = m_cmbListe->itemData(indice).toInt();
    try {
        std::unique_ptr<Recordset> barcode =
            m_archivio.queryBarcode(m_configurazione.StringaConnessione(), idLista);
        if (!barcode->allaFine()) moduloListView::MostraRecordset(*barcode, *m_lista);
        ChiudiRecordset(barcode);
    } catch (const Fallimento& fallimento) {
        m_lista->righe().svuota();
        m_messaggi.errore(codiceTrattinoDescrizione(fallimento));
    }
}

void frmPrincipale::cmdEsegui_Click() {
    if (m_invio.inCorso()) return;
    // Disabling a focused Scrivi hands the focus on to Cancella, where the next
    // two Enters would delete a list: the focus goes back when the send ends.
    const QPointer<QWidget> fuocoPrima = focusWidget() != nullptr ? focusWidget() : m_cmdEsegui;
    m_cmdEsegui->setEnabled(false);
    const int indice = m_cmbListe->currentIndex();
    std::optional<std::int32_t> idLista;
    if (indice >= 0) idLista = m_cmbListe->itemData(indice).toInt();
    m_invio.esegui(idLista, [this](int inviati, int totale) {
        setWindowTitle(QStringLiteral("Invia Dati - %1/%2").arg(inviati).arg(totale));
    });
    setWindowTitle(QStringLiteral("Invia Dati"));
    m_cmdEsegui->setEnabled(true);
    if (fuocoPrima != nullptr && fuocoPrima->isEnabled()) {
        fuocoPrima->setFocus(Qt::OtherFocusReason);
    }
    m_guardiaEnter.arma();
}

void frmPrincipale::closeEvent(QCloseEvent* evento) {
    m_invio.interrompi();
    QMainWindow::closeEvent(evento);
}

void frmPrincipale::cmdCancella_Click() {
    const RispostaCancellazione scelta = m_dialoghi.chiediCancellazione(this, m_cmbListe->currentText());
    switch (scelta) {
        case RispostaCancellazione::Tutte:
            CancellaListe(m_archivio, m_configurazione.StringaConnessione(), m_messaggi, std::nullopt);
            AggiornaListe();
            break;
        case RispostaCancellazione::Selezionata: {
            const int indice = m_cmbListe->currentIndex();
            if (indice < 0) {
                m_messaggi.informazione(avvisi::kNessunaListaSelezionata);
                return;
            }
            const std::int32_t idLista = m_cmbListe->itemData(indice).toInt();
            CancellaListe(m_archivio, m_configurazione.StringaConnessione(), m_messaggi, idLista);
            AggiornaListe();
            break;
        }
        default: break;
    }
}

void frmPrincipale::mnuFileImposta_Click() {
    m_dialoghi.mostraImpostazioni(this);
    AggiornaListe();
}

}  // namespace tastalo
