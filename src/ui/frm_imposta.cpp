#include "ui/frm_imposta.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/messaggi.h"
#include "ui/finestra_fissa.h"
#include "ui/font_dialogo.h"
#include "ui/icona_programma.h"
#include "ui/scelta_file.h"
#include "ui/twips.h"

namespace tastalo {
namespace {

QLabel* etichetta(QWidget* genitore, const QString& nome, const QString& testo, Qt::Alignment allineamento,
                  int left, int top, int width, int height) {
    auto* label = new QLabel(testo, genitore);
    label->setObjectName(nome);
    label->setAlignment(allineamento | Qt::AlignVCenter);
    posizionaInTwips(*label, left, top, width, height);
    return label;
}

QLineEdit* casella(QWidget* genitore, const QString& nome, const QString& testo, int left, int top, int width,
                   int height) {
    auto* edit = new QLineEdit(testo, genitore);
    edit->setObjectName(nome);
    posizionaInTwips(*edit, left, top, width, height);
    return edit;
}

QPushButton* pulsante(QWidget* genitore, const QString& nome, const QString& testo, int left, int top,
                      int width, int height) {
    auto* button = new QPushButton(testo, genitore);
    button->setObjectName(nome);
    // No button is the default: Enter only presses the button that has the focus.
    button->setAutoDefault(false);
    button->setDefault(false);
    posizionaInTwips(*button, left, top, width, height);
    return button;
}

}  // namespace

frmImposta::frmImposta(IniProgramma& ini, Configurazione& configurazione, Messaggi& messaggi,
                       SceltaFile& sceltaFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | kFinestraFissa),
      m_impostazioni(ini, configurazione),
      m_messaggi(messaggi),
      m_sceltaFile(sceltaFile) {
    setObjectName(QStringLiteral("frmImposta"));
    setWindowTitle(QStringLiteral("Impostazioni"));
    setWindowIcon(iconaProgramma());
    setFixedSize(twipsInPixel(5865), twipsInPixel(2805));
    creaControlli();
    adattaFontDialogo(*this);
    Form_Load();
}

void frmImposta::creaControlli() {
    const auto destra = Qt::AlignRight;
    etichetta(this, QStringLiteral("Label3"), QStringLiteral("Nome Database :"), destra, 120, 240, 1335, 255);
    m_txtDB = casella(this, QStringLiteral("txtDB"), QString(), 1560, 240, 2895, 285);
    m_cmdSfoglia =
        pulsante(this, QStringLiteral("cmdSfoglia"), QStringLiteral("S&foglia"), 4680, 240, 975, 255);
    etichetta(this, QStringLiteral("Label2"), QStringLiteral("Testo finestra pgm :"), destra, 0, 720, 1455,
              255);
    m_txtFinestra =
        casella(this, QStringLiteral("txtFinestra"), QStringLiteral("Korvedo"), 1560, 720, 1695, 285);
    etichetta(this, QStringLiteral("lblDelay"), QStringLiteral("Delay :"), destra, 600, 1200, 855, 255);
    m_txtDelay = casella(this, QStringLiteral("txtDelay"), QStringLiteral("500"), 1560, 1200, 615, 285);
    etichetta(this, QStringLiteral("Label1"), QStringLiteral("ms"), Qt::AlignLeft, 2280, 1200, 375, 255);
    m_cmdEsegui =
        pulsante(this, QStringLiteral("cmdEsegui"), QStringLiteral(" &Salva"), 1913, 2160, 1095, 375);
    m_cmdExit = pulsante(this, QStringLiteral("cmdExit"), QStringLiteral("&Esci"), 3113, 2160, 1095, 375);

    setTabOrder(m_cmdEsegui, m_txtDelay);
    setTabOrder(m_txtDelay, m_txtDB);
    setTabOrder(m_txtDB, m_txtFinestra);
    setTabOrder(m_txtFinestra, m_cmdExit);
    setTabOrder(m_cmdExit, m_cmdSfoglia);
    m_cmdEsegui->setFocus(Qt::OtherFocusReason);

    connect(m_cmdSfoglia, &QPushButton::clicked, this, &frmImposta::cmdSfoglia_Click);
    connect(m_cmdEsegui, &QPushButton::clicked, this, &frmImposta::cmdEsegui_Click);
    connect(m_cmdExit, &QPushButton::clicked, this, &frmImposta::cmdExit_Click);
}

void frmImposta::Form_Load() {
    const LetturaImpostazioni lettura = m_impostazioni.leggi();
    m_txtDB->setText(lettura.testi.percorsoDatabase);
    m_txtFinestra->setText(lettura.testi.titoloFinestra);
    m_txtDelay->setText(lettura.testi.ritardo);
    if (lettura.fallimento) m_messaggi.errore(ImpostazioniDialogo::messaggioLettura(*lettura.fallimento));
}

void frmImposta::cmdSfoglia_Click() {
    static const std::vector<TipoFile> kTipi = {
        {QStringLiteral("File database (*.sdf)"), QStringLiteral("*.sdf")},
        {QStringLiteral("tutti i files"), QStringLiteral("*")}};
    const auto scelta = m_sceltaFile.apriFile(this, QStringLiteral("Apri Database"), kTipi,
                                              m_impostazioni.percorsoDatabase(m_txtDB->text()));
    if (const auto database = ImpostazioniDialogo::databaseScelto(scelta)) {
        m_txtDB->setText(*database);
    }
}

void frmImposta::cmdEsegui_Click() {
    try {
        m_impostazioni.salva(testi());
    } catch (const Fallimento& fallimento) {
        m_messaggi.errore(ImpostazioniDialogo::messaggioSalvataggio(fallimento));
        if (fallimento.origine() == OrigineFallimento::Conversione) {
            m_txtDelay->setFocus(Qt::OtherFocusReason);
            m_txtDelay->selectAll();
        }
        return;
    }
    accept();
}

void frmImposta::cmdExit_Click() { reject(); }

TestiImpostazioni frmImposta::testi() const {
    return {m_txtDB->text(), m_txtFinestra->text(), m_txtDelay->text()};
}

void frmImposta::keyPressEvent(QKeyEvent* evento) {
    // Neither button is the dialog's cancel button: Esc closes nothing, so a
    // stray Esc never throws away what the operator typed. Every key QDialog
    // would take as a cancel is kept from it, whatever modifier the keyboard
    // layout or the keypad adds.
    if (evento->matches(QKeySequence::Cancel)) {
        evento->accept();
        return;
    }
    const bool invio = evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter;
    if (invio && (evento->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // Enter presses the focused button, as on any dialog; in a text box it does nothing.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr) {
            button->click();
        }
        evento->accept();
        return;
    }
    QDialog::keyPressEvent(evento);
}

}  // namespace tastalo
