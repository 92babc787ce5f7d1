#include "ui/frm_cancella.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "ui/finestra_fissa.h"
#include "ui/icona_programma.h"
#include "ui/twips.h"

namespace tastalo {

frmCancella::frmCancella(QWidget* parent) : QDialog(parent, Qt::Dialog | kFinestraFissa) {
    setWindowTitle(QStringLiteral("Richiesta Cancellazione"));
    setWindowIcon(iconaProgramma());
    setFixedSize(twipsInPixel(3120), twipsInPixel(2610));

    m_optCancella[0] = new QRadioButton(this);
    m_optCancella[1] = new QRadioButton(QStringLiteral("Tutte"), this);
    for (int indice = 0; indice < 2; ++indice) {
        m_optCancella[indice]->setObjectName(QStringLiteral("optCancella"));
        m_optCancella[indice]->setProperty("index", indice);
    }
    posizionaInTwips(*m_optCancella[0], 240, 600, 2055, 375);
    posizionaInTwips(*m_optCancella[1], 240, 1200, 975, 375);

    m_label1 = new QLabel(QStringLiteral("Quale lista eliminare?"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont grassetto = font();
    grassetto.setPointSizeF(9.75);
    grassetto.setBold(true);
    m_label1->setFont(grassetto);
    posizionaInTwips(*m_label1, 120, 120, 2655, 255);

    m_cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setDefault(true);
    posizionaInTwips(*m_cmdOk, 360, 1920, 1095, 375);

    m_cmdAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    m_cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    posizionaInTwips(*m_cmdAnnulla, 1560, 1920, 1095, 375);

    setTabOrder(m_optCancella[0], m_optCancella[1]);
    setTabOrder(m_optCancella[1], m_cmdOk);
    setTabOrder(m_cmdOk, m_cmdAnnulla);

    connect(m_cmdOk, &QPushButton::clicked, this, &frmCancella::cmdOk_Click);
    connect(m_cmdAnnulla, &QPushButton::clicked, this, &frmCancella::reject);
}

QRadioButton* frmCancella::optCancella(int indice) const {
    return (indice == 0 || indice == 1) ? m_optCancella[indice] : nullptr;
}

void frmCancella::setVisible(bool visible) {
    if (visible && !isVisible()) {
        Form_Load();
        // Centred on the screen, not over the main window.
        centraSulloSchermo(*this);
    }
    QDialog::setVisible(visible);
}

void frmCancella::Form_Load() {
    m_optCancella[0]->setText(m_lista);
    m_optCancella[0]->setChecked(true);
    m_optCancella[0]->setFocus();
    // Only "&Ok" during this showing may give 0 or 1.
    m_cosaFare = RispostaCancellazione::Annulla;
}

void frmCancella::cmdOk_Click() {
    m_cosaFare =
        m_optCancella[0]->isChecked() ? RispostaCancellazione::Selezionata : RispostaCancellazione::Tutte;
    accept();
}

void frmCancella::reject() {
    // Annulla, Escape and the close box all come here.
    m_cosaFare = RispostaCancellazione::Annulla;
    QDialog::reject();
}

}  // namespace tastalo
