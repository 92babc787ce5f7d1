#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <functional>

#include "finestra_prova.h"

namespace tastalo {
namespace {

using prova::DatabaseProva;
using prova::FinestraProva;

// An Enter as the window system delivers it, at `istante` by its clock.
void enter(QWidget* destinatario, QEvent::Type tipo, quint64 istante, bool ripetuto = false) {
    QKeyEvent evento(tipo, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), ripetuto);
    evento.setTimestamp(istante);
    QApplication::sendEvent(destinatario, &evento);
}

// What the operator does once the message closing a send has gone, with the
// sends it must come to in all (the first included). The Enter that closed
// the box shows up here only as its repeats and its release.
struct Gesto {
    const char* nome;
    std::function<void(FinestraProva&, QWidget*)> azione;
    std::size_t invii;
};

TEST(FrmPrincipaleEnter, EnterAfterTheClosingMessageSendsOnlyWhenPressedAfreshAfterAWait) {
    DatabaseProva db;
    db.lista(7, "Alfa", {"7001"});
    db.configurazione.TitoloFinestra = QStringLiteral("Korvedo");
    const std::vector<Gesto> gesti = {
        {"held down from closing the box past the wait, repeats marked (Windows, Wayland)",
         [](FinestraProva& f, QWidget* w) {
             f.tempo.scatta();
             for (quint64 t : {700, 740, 780}) enter(w, QEvent::KeyPress, t, true);
             enter(w, QEvent::KeyRelease, 800);
         },
         1},
        {"held down from closing the box past the wait, repeats as release and press at once (X11), "
         "then pressed afresh",
         [](FinestraProva& f, QWidget* w) {
             f.tempo.scatta();
             for (quint64 t : {700, 740, 780}) {
                 enter(w, QEvent::KeyRelease, t);
                 enter(w, QEvent::KeyPress, t);
             }
             enter(w, QEvent::KeyRelease, 800);
             f.tempo.scatta();  // a wait that a send would have started anew
             enter(w, QEvent::KeyPress, 2000);
             enter(w, QEvent::KeyRelease, 2100);
         },
         2},
        {"double press: pressed again at once",
         [](FinestraProva&, QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }, 1},
        {"pressed again after the wait",
         [](FinestraProva& f, QWidget* w) {
             f.tempo.scatta();
             QTest::keyClick(w, Qt::Key_Return);
         },
         2},
        {"another key first",
         [](FinestraProva&, QWidget* w) {
             QTest::keyClick(w, Qt::Key_Shift);
             QTest::keyClick(w, Qt::Key_Return);
         },
         2},
        {"another window in front first",
         [](FinestraProva& f, QWidget* w) {
             QWidget altra;
             altra.show();
             altra.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&altra));
             f.finestra.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&f.finestra));
             QTest::keyClick(w, Qt::Key_Return);
         },
         2},
    };
    for (const char* fuoco : {"cmbListe", "cmdEsegui"}) {
        for (const Gesto& gesto : gesti) {
            SCOPED_TRACE(std::string(fuoco) + ", " + gesto.nome);
            FinestraProva f(db);
            f.finestra.show();
            f.finestra.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&f.finestra));
            QWidget* w = f.finestra.findChild<QWidget*>(QString::fromLatin1(fuoco));
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
            ASSERT_EQ(f.messaggi.messaggi().size(), 1u);
            ASSERT_EQ(f.finestra.focusWidget(), w);

            gesto.azione(f, w);

            std::u32string atteso;
            for (std::size_t i = 0; i < gesto.invii; ++i) atteso += U"7001\n";
            EXPECT_EQ(f.tastiera.received(), atteso) << "the list went out once for each send";
        }
    }
}

}  // namespace
}  // namespace tastalo
