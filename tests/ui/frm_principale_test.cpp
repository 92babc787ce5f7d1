#include "ui/frm_principale.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "controlli.h"
#include "finestra_prova.h"

namespace tastalo {
namespace {

using prova::DatabaseProva;
using prova::FakeMessaggi;
using prova::FinestraProva;

const QString kNessunaLista = QStringLiteral("Non ci sono liste da elaborare.\n");

class FrmPrincipale : public ::testing::Test {
protected:
    void treListe() {
        db.lista(7, "Alfa", {"7001", "7002", "7003"});
        db.lista(3, "Beta");
        db.lista(12, "Gamma", {"1201", "1202-LUNGO"});
    }
    DatabaseProva db;
};

TEST_F(FrmPrincipale, ShowingLoadsTheListsInNameOrderAndShowsTheFirstListsBarcodes) {
    treListe();
    FinestraProva f(db);
    EXPECT_EQ(f.combo()->count(), 0) << "nothing is read before the window is shown";
    f.finestra.show();
    EXPECT_EQ(f.voci(), (QStringList{"7 - Alfa", "3 - Beta", "12 - Gamma"}));
    EXPECT_EQ(f.ids(), (std::vector<int>{7, 3, 12}));
    EXPECT_EQ(f.combo()->currentIndex(), 0);
    EXPECT_EQ(f.righe(), (QStringList{"7001", "7002", "7003"}));
    EXPECT_EQ(f.lista()->columnWidth(0), prova::larghezzaAttesa(*f.lista(), f.righe() << "BarCode"));
    EXPECT_TRUE(f.messaggi.messaggi().empty());
}

TEST_F(FrmPrincipale, ChoosingAListShowsOnlyItsBarcodesAndAnEmptyListShowsNothing) {
    treListe();
    FinestraProva f(db);
    f.finestra.show();
    QTest::keyClick(f.combo(), Qt::Key_End);
    EXPECT_EQ(f.combo()->currentText(), "12 - Gamma");
    EXPECT_EQ(f.righe(), (QStringList{"1201", "1202-LUNGO"}));
    EXPECT_EQ(f.lista()->columnWidth(0), prova::larghezzaAttesa(*f.lista(), f.righe() << "BarCode"));

    QTest::keyClick(f.combo(), Qt::Key_Up);
    EXPECT_EQ(f.combo()->currentText(), "3 - Beta");
    EXPECT_TRUE(f.righe().isEmpty());
    EXPECT_TRUE(f.messaggi.messaggi().empty());
}

TEST_F(FrmPrincipale, TheComboIsAListTypingOnlyJumpsToAnEntryAndEveryChoiceReadsAfresh) {
    treListe();
    FinestraProva f(db);
    f.finestra.show();
    EXPECT_FALSE(f.combo()->isEditable());
    db.lista(13, "Delta", {"nuovo"});
    db.esegui("insert into movimenti values (12, 'aggiunto')");
    QTest::keyClicks(f.combo(), "12");
    EXPECT_EQ(f.combo()->currentText(), "12 - Gamma");
    EXPECT_EQ(f.righe(), (QStringList{"1201", "1202-LUNGO", "aggiunto"}));
    EXPECT_EQ(f.combo()->count(), 3) << "lists are not reloaded on a choice";
}

TEST_F(FrmPrincipale, AMissingFileIsToldBeforeTheWindowAppearsAndLeavesItEmpty) {
    QFile::remove(db.percorso());
    FinestraProva f(db);
    bool visibileAlMessaggio = true;
    f.messaggi.allaComparsa(
        [&](const FakeMessaggi::Messaggio&) { visibileAlMessaggio = f.finestra.isVisible(); });
    f.finestra.show();
    ASSERT_EQ(f.messaggi.messaggi().size(), 1u);
    EXPECT_EQ(f.messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Informazione);
    EXPECT_EQ(f.messaggi.messaggi()[0].testo,
              kNessunaLista + "Il file " + QDir::toNativeSeparators(db.percorso()) + " non esiste.");
    EXPECT_FALSE(visibileAlMessaggio);
    EXPECT_TRUE(f.finestra.isVisible());
    EXPECT_EQ(f.combo()->count(), 0);
    EXPECT_EQ(f.combo()->currentIndex(), -1);
    EXPECT_FALSE(QFile::exists(db.percorso())) << "the database is never created";
}

TEST_F(FrmPrincipale, ADatabasePathThatIsNoFileIsNamedWithTheReasonUnderTheNotice) {
    const QString cartella = db.cartella.file("Cartella.sdf");
    ASSERT_TRUE(QDir().mkdir(cartella));
    const std::vector<std::pair<QString, QString>> casi = {
        {db.cartella.file("Manca.sdf"),
         "Il file " + QDir::toNativeSeparators(db.cartella.file("Manca.sdf")) + " non esiste."},
        {cartella, QDir::toNativeSeparators(cartella) + " è una cartella, non un file."},
#ifndef _WIN32
        // Windows keeps its devices out of the folders: there no path names one.
        {"/dev/null", "/dev/null non è un file normale."},
#endif
        {QString(), "Nessun file di database indicato."},
    };
    for (const auto& [percorso, motivo] : casi) {
        db.configurazione.PercorsoDatabase = percorso;
        FinestraProva f(db);
        f.finestra.show();
        EXPECT_EQ(f.messaggi.testi(), QStringList{kNessunaLista + motivo});
        EXPECT_EQ(f.combo()->count(), 0);
    }
}

TEST_F(FrmPrincipale, ADatabaseWithoutListsLeavesEverythingEmptyWithoutAMessage) {
    FinestraProva f(db);
    f.finestra.show();
    EXPECT_EQ(f.combo()->count(), 0);
    EXPECT_TRUE(f.righe().isEmpty());
    EXPECT_TRUE(f.messaggi.messaggi().empty());
}

TEST_F(FrmPrincipale, ClosingTheSettingsReloadsEitherWayAndSelectsTheFirstListAgain) {
    treListe();
    FinestraProva f(db);
    f.finestra.show();
    QTest::keyClick(f.combo(), Qt::Key_End);
    db.lista(1, "Aaa", {"nuova"});
    f.finestra.findChild<QAction*>("mnuFileImposta")->trigger();
    EXPECT_EQ(f.dialoghi.impostazioniMostrate, 1);
    EXPECT_EQ(f.voci(), (QStringList{"1 - Aaa", "7 - Alfa", "3 - Beta", "12 - Gamma"}));
    EXPECT_EQ(f.combo()->currentIndex(), 0);
    EXPECT_EQ(f.righe(), (QStringList{"nuova"}));
}

TEST_F(FrmPrincipale, APathSavedInTheSettingsIsUsedAtOnce) {
    treListe();
    DatabaseProva altro;
    altro.lista(40, "Altrove", {"A-1"});
    FinestraProva f(db);
    f.finestra.show();

    f.dialoghi.allaChiusuraImpostazioni = [&] { db.configurazione.PercorsoDatabase = altro.percorso(); };
    f.finestra.findChild<QAction*>("mnuFileImposta")->trigger();
    EXPECT_EQ(f.voci(), (QStringList{"40 - Altrove"}));
    EXPECT_EQ(f.righe(), (QStringList{"A-1"}));

    f.dialoghi.allaChiusuraImpostazioni = [&] {
        db.configurazione.PercorsoDatabase = db.cartella.file("Nessuno.sdf");
    };
    f.finestra.findChild<QAction*>("mnuFileImposta")->trigger();
    ASSERT_EQ(f.messaggi.testi().size(), 1);
    EXPECT_TRUE(f.messaggi.testi()[0].startsWith(kNessunaLista + "Il file "));
    EXPECT_EQ(f.combo()->count(), 0);
    EXPECT_TRUE(f.righe().isEmpty());
}

// Files that fail while the lists load: the box, then an empty but usable window.
TEST_F(FrmPrincipale, AListsFailureIsToldAsCodeDashDescriptionAndLeavesTheComboEmpty) {
    struct Caso {
        const char* nome;
        std::function<void(DatabaseProva&)> prepara;
        QString attesa;
    };
    const std::vector<Caso> casi = {
        {"null id",
         [](DatabaseProva& d) {
             d.esegui(
                 "drop table liste; create table liste(idLista, lista);"
                 "insert into liste values (1, 'A'), (NULL, 'B')");
         },
         QStringLiteral("94 - Utilizzo non valido di Null")},
        {"text id",
         [](DatabaseProva& d) {
             d.esegui(
                 "drop table liste; create table liste(idLista, lista);"
                 "insert into liste values (1, 'A'), ('x', 'B')");
         },
         QStringLiteral("13 - Tipo non corrispondente")},
        {"id too large",
         [](DatabaseProva& d) {
             d.esegui(
                 "drop table liste; create table liste(idLista, lista);"
                 "insert into liste values (4294967296, 'A')");
         },
         QStringLiteral("6 - Overflow")},
    };
    for (const auto& caso : casi) {
        DatabaseProva d;
        caso.prepara(d);
        FinestraProva f(d);
        f.finestra.show();
        ASSERT_EQ(f.messaggi.messaggi().size(), 1u) << caso.nome;
        EXPECT_EQ(f.messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore) << caso.nome;
        EXPECT_EQ(f.messaggi.messaggi()[0].testo, caso.attesa) << caso.nome;
        EXPECT_EQ(f.combo()->count(), 0) << caso.nome;
        EXPECT_TRUE(f.righe().isEmpty()) << caso.nome;
    }
}

TEST_F(FrmPrincipale, AFileThatIsNoDatabaseOrIsLockedIsToldAndTheWindowStaysUsable) {
    treListe();
    FinestraProva f(db);
    f.finestra.show();
    {
        const auto blocco = db.blocca();
        f.finestra.findChild<QAction*>("mnuFileImposta")->trigger();
    }
    ASSERT_EQ(f.messaggi.messaggi().size(), 1u);
    EXPECT_TRUE(f.messaggi.messaggi()[0].testo.startsWith("5 - "))
        << f.messaggi.testi().join("|").toStdString();
    EXPECT_EQ(f.combo()->count(), 0);

    f.messaggi.svuota();
    db.cartella.write("Rotto.sdf", QByteArray(4096, 'x'));
    const QString buono = db.percorso();
    f.dialoghi.allaChiusuraImpostazioni = [&] {
        db.configurazione.PercorsoDatabase = db.cartella.file("Rotto.sdf");
    };
    f.finestra.findChild<QAction*>("mnuFileImposta")->trigger();
    EXPECT_EQ(f.messaggi.testi(), QStringList{"26 - file is not a database"});
    EXPECT_EQ(f.combo()->count(), 0);

    // Usable: the right path set again brings the lists back.
    f.dialoghi.allaChiusuraImpostazioni = [&] { db.configurazione.PercorsoDatabase = buono; };
    f.finestra.findChild<QAction*>("mnuFileImposta")->trigger();
    EXPECT_EQ(f.combo()->count(), 3);
}

TEST_F(FrmPrincipale, ABarcodeFailureEmptiesTheViewButKeepsTheLists) {
    treListe();
    FinestraProva f(db);
    f.finestra.show();
    db.esegui("alter table movimenti rename to vecchi");
    QTest::keyClick(f.combo(), Qt::Key_End);
    ASSERT_EQ(f.messaggi.messaggi().size(), 1u);
    EXPECT_EQ(f.messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    EXPECT_TRUE(f.messaggi.messaggi()[0].testo.contains(QRegularExpression("^\\d+ - .*movimenti")))
        << f.messaggi.testi().join("|").toStdString();
    EXPECT_TRUE(f.righe().isEmpty());
    EXPECT_EQ(f.combo()->count(), 3);
}

TEST_F(FrmPrincipale, EnterPressesScriviUnlessAButtonHasTheFocus) {
    treListe();
    FinestraProva f(db);
    f.finestra.show();
    QSignalSpy scrivi(f.pulsante("cmdEsegui"), &QPushButton::clicked);

    f.combo()->setFocus();
    QTest::keyClick(f.combo(), Qt::Key_Return);
    EXPECT_EQ(scrivi.count(), 1);
    f.tempo.scatta();  // the wait after a send's message is over
    f.lista()->setFocus();
    QTest::keyClick(f.lista(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(scrivi.count(), 2);
    f.tempo.scatta();

    f.pulsante("cmdCancella")->setFocus();
    QTest::keyClick(f.pulsante("cmdCancella"), Qt::Key_Return);
    EXPECT_EQ(scrivi.count(), 2);
    EXPECT_EQ(f.dialoghi.listeMostrate.size(), 1) << "Enter pressed the focused button";

    f.pulsante("cmdEsegui")->setEnabled(false);
    f.combo()->setFocus();
    QTest::keyClick(f.combo(), Qt::Key_Return);
    EXPECT_EQ(scrivi.count(), 2) << "a disabled Scrivi is not pressed";
    EXPECT_TRUE(f.finestra.isVisible());
}

TEST_F(FrmPrincipale, EscapeTheExitButtonTheExitMenuAndTheCloseBoxCloseTheWindow) {
    const std::vector<std::pair<const char*, std::function<void(FinestraProva&)>>> modi = {
        {"Escape on the combo", [](FinestraProva& f) { QTest::keyClick(f.combo(), Qt::Key_Escape); }},
        {"Escape on a button",
         [](FinestraProva& f) { QTest::keyClick(f.pulsante("cmdCancella"), Qt::Key_Escape); }},
        {"Esci", [](FinestraProva& f) { f.pulsante("cmdExit")->click(); }},
        {"menu Esci", [](FinestraProva& f) { f.finestra.findChild<QAction*>("mnuExit")->trigger(); }},
        {"close box", [](FinestraProva& f) { f.finestra.close(); }},
    };
    for (const auto& [nome, chiudi] : modi) {
        FinestraProva f(db);
        f.finestra.show();
        chiudi(f);
        EXPECT_FALSE(f.finestra.isVisible()) << nome;
        EXPECT_EQ(f.dialoghi.listeMostrate.size(), 0) << nome;
    }
}

}  // namespace
}  // namespace tastalo
