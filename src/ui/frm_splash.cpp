#include "ui/frm_splash.h"

#include <QCloseEvent>
#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>

#include "ui/finestra_fissa.h"
#include "ui/font_dialogo.h"
#include "ui/icona_programma.h"
#include "ui/riga_versione.h"
#include "ui/temporizzatore.h"
#include "ui/twips.h"

namespace tastalo {
namespace {

QLabel* etichetta(QWidget* genitore, const QString& nome, const QFont& font, int left, int top, int width,
                  int height) {
    auto* label = new QLabel(genitore);
    label->setObjectName(nome);
    label->setFont(font);
    posizionaInTwips(*label, left, top, width, height);
    return label;
}

// A self-sizing label fits its text; a right-aligned one keeps its right
// edge, so that a longer text grows to the left instead of out of the frame.
void adattaAlTesto(QLabel& label) {
    const QRect prima = label.geometry();
    label.adjustSize();
    if (label.alignment() & Qt::AlignRight) {
        label.move(prima.right() - label.width() + 1, prima.top());
    }
}

// Keys that produce a character; Enter, Esc, Backspace and Tab count even
// where the platform gives them no text.
bool produceCarattere(const QKeyEvent& tasto) {
    switch (tasto.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return true;
        default: return !tasto.text().isEmpty();
    }
}

}  // namespace

// The fixed border without a title bar, in a tool window, which the taskbar
// does not list (on Windows it would list a splash type given this border).
frmSplash::frmSplash(Temporizzatore& tempo, std::function<void()> mostraPrincipale, QWidget* parent)
    : QWidget(parent, Qt::Tool | kBordoFisso),
      m_tempo(tempo),
      m_mostraPrincipale(std::move(mostraPrincipale)) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowIcon(iconaProgramma());
    setFixedSize(twipsInPixel(7380), twipsInPixel(4245));
    // Without a focusable child the window itself takes the keyboard.
    setFocusPolicy(Qt::StrongFocus);
    creaControlli();
    Form_Load();
    m_tempo.avvia(kIntervalloMs, [this] { tempo_Timer(); });
}

void frmSplash::creaControlli() {
    m_frame1 = new QFrame(this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    posizionaInTwips(*m_frame1, 150, 0, 7080, 4050);

    auto* imgLogo = new QLabel(m_frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    posizionaInTwips(*imgLogo, 360, 840, 1935, 2145);
    imgLogo->setScaledContents(true);
    imgLogo->setPixmap(logoProgramma(256));

    auto* marchio =
        etichetta(m_frame1, QStringLiteral("lblMakerLarge"), arial(18, true), 2355, 705, 3345, 435);
    marchio->setText(QStringLiteral("Liste di barcode"));
    adattaAlTesto(*marchio);

    m_lblProductName =
        etichetta(m_frame1, QStringLiteral("lblProductName"), arial(32.25, true), 2520, 1140, 2430, 765);
    m_lblVersion = etichetta(m_frame1, QStringLiteral("lblVersion"), arial(12, true), 5970, 2700, 885, 285);
    m_lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);

    auto* sopra =
        etichetta(m_frame1, QStringLiteral("lblMakerUpper"), arial(8.25, false), 4560, 3060, 2415, 255);
    sopra->setText(QStringLiteral("Digita le liste di barcode"));
    auto* sotto =
        etichetta(m_frame1, QStringLiteral("lblMakerLower"), arial(8.25, false), 4560, 3270, 2415, 255);
    sotto->setText(QStringLiteral("nel programma che le riceve"));

    // The window sees every key first, whichever child might hold the focus.
    installEventFilter(this);
    for (QWidget* figlio : findChildren<QWidget*>()) {
        figlio->installEventFilter(this);
        figlio->setFocusPolicy(Qt::NoFocus);
    }
}

void frmSplash::Form_Load() {
    m_lblVersion->setText(rigaVersioneProgramma());
    adattaAlTesto(*m_lblVersion);
    m_lblProductName->setText(QStringLiteral("Tastalo"));
    adattaAlTesto(*m_lblProductName);
}

void frmSplash::tempo_Timer() { chiudi(); }

void frmSplash::chiudi() {
    if (concludi()) close();
}

bool frmSplash::concludi() {
    if (m_concluso) return false;
    // Set first: showing the main window may run a nested event loop (a
    // message box while it loads), in which a second close must do nothing.
    m_concluso = true;
    m_tempo.ferma();
    if (m_mostraPrincipale) m_mostraPrincipale();
    return true;
}

bool frmSplash::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress && produceCarattere(*static_cast<QKeyEvent*>(evento))) {
        chiudi();
        return true;
    }
    return QWidget::eventFilter(oggetto, evento);
}

void frmSplash::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    centraSulloSchermo(*this);
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void frmSplash::closeEvent(QCloseEvent* evento) {
    // The window system may close it too (Alt+F4): the main window still comes up.
    concludi();
    evento->accept();
}

}  // namespace tastalo
