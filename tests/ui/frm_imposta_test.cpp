#include "ui/frm_imposta.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <memory>

#include "controlli.h"
#include "fake_scelta_file.h"
#include "settings/configurazione.h"
#include "settings/ini_file.h"
#include "settings/ini_programma.h"
#include "settings/spooling_ini.h"
#include "support/fake_messaggi.h"
#include "support/temp_folder.h"
#include "ui/font_dialogo.h"

namespace tastalo::prova {
namespace {

using prova::controllo;
using prova::FakeMessaggi;
using prova::FakeSceltaFile;
using prova::TempFolder;

const QString kMessaggioRitardo = QStringLiteral(
    "Il ritardo deve essere un numero di millisecondi da 0 a 2147483647: il punto separa le migliaia "
    "(1.000), la virgola i decimali (1,5).");

class ImpostaProva : public ::testing::Test {
protected:
    // The values in use are those of kIniCompleto, as start-up would load them.
    ImpostaProva() : ini(cartella.path()) {
        configurazione.PercorsoDatabase = QStringLiteral("/dati/liste.sdf");
        configurazione.TitoloFinestra = QStringLiteral("Blocco note");
        configurazione.Ritardo = 250;
    }

    void scriviIni(const QByteArray& contenuto) { cartella.write(QStringLiteral("spooling.ini"), contenuto); }
    QByteArray contenutoIni() const { return cartella.read(QStringLiteral("spooling.ini")); }

    // Start-up's loading of the settings file as it stands, then the dialog.
    frmImposta& avviaEApri() {
        SpoolingIni(ini).carica(configurazione);
        return apri();
    }
    void expectMostraIValoriInUso() {
        EXPECT_EQ(txt("txtDB").text(), configurazione.PercorsoDatabase);
        EXPECT_EQ(txt("txtFinestra").text(), configurazione.TitoloFinestra);
        EXPECT_EQ(txt("txtDelay").text(), QString::number(configurazione.Ritardo));
    }

    frmImposta& apri() {
        dialogo = std::make_unique<frmImposta>(ini, configurazione, messaggi, scelta);
        dialogo->show();
        return *dialogo;
    }

    QLineEdit& txt(const char* nome) { return controllo<QLineEdit>(*dialogo, QString::fromLatin1(nome)); }
    QPushButton& cmd(const char* nome) { return controllo<QPushButton>(*dialogo, QString::fromLatin1(nome)); }

    void expectConfigurazioneInvariata() const {
        EXPECT_EQ(configurazione.PercorsoDatabase, QStringLiteral("/dati/liste.sdf"));
        EXPECT_EQ(configurazione.TitoloFinestra, QStringLiteral("Blocco note"));
        EXPECT_EQ(configurazione.Ritardo, 250);
    }

    TempFolder cartella;
    IniProgramma ini;
    Configurazione configurazione;
    FakeMessaggi messaggi;
    FakeSceltaFile scelta;
    std::unique_ptr<frmImposta> dialogo;
};

const QByteArray kIniCompleto = "[DATI]\nDataBase=/dati/liste.sdf\nFinestraPGM=Blocco note\nDelay=250\n";

// --- Opening ---

TEST_F(ImpostaProva, OpeningShowsTheFileAsItIsNowAndTheValueInUseForAnEmptyOrInvalidKey) {
    // Changed since start-up, by hand or by another copy: shown, so that
    // "Salva" does not undo it.
    scriviIni("[DATI]\nDataBase=/altro.sdf\nFinestraPGM=Altro\nDelay=1.500\n");
    apri();
    EXPECT_EQ(txt("txtDB").text(), QStringLiteral("/altro.sdf"));
    EXPECT_EQ(txt("txtFinestra").text(), QStringLiteral("Altro"));
    EXPECT_EQ(txt("txtDelay").text(), QStringLiteral("1.500"));

    scriviIni("[DATI]\nDataBase=\nFinestraPGM=\nDelay=750.5\n");
    apri();
    expectMostraIValoriInUso();

    // Removed since: the same values, and opening creates nothing.
    QFile::remove(cartella.file(QStringLiteral("spooling.ini")));
    apri();
    expectMostraIValoriInUso();
    EXPECT_FALSE(QFileInfo::exists(cartella.file(QStringLiteral("spooling.ini"))));
    EXPECT_TRUE(messaggi.messaggi().empty());
}

TEST_F(ImpostaProva, AfterABrokenSettingsFileStartUpAndTheDialogAgreeOnTheDefaultDatabase) {
    const QString predefinito = QDir::toNativeSeparators(cartella.file(QStringLiteral("Dati.sdf")));
    const QByteArray casi[] = {"[DATI]\nFinestraPGM=Korvedo\nDelay=500\n", "[DATI]\nDataBase=\n",
                               "[ALTRO]\nK=v\n", QByteArray("\x00\xFF\x9F[\x80\n=\x01", 9)};
    for (const QByteArray& contenuto : casi) {
        SCOPED_TRACE(contenuto.toHex().toStdString());
        scriviIni(contenuto);
        avviaEApri();
        EXPECT_EQ(configurazione.PercorsoDatabase, predefinito);
        expectMostraIValoriInUso();
    }
}

TEST_F(ImpostaProva, WhenTheFileCannotBeCreatedOrReadTheDialogShowsTheDefaultsInUse) {
    // A program folder that is gone cannot hold the file, as a read-only one.
    auto sparita = std::make_unique<TempFolder>();
    IniProgramma iniSparito(sparita->path());
    sparita.reset();
    SpoolingIni(iniSparito).carica(configurazione);
    dialogo = std::make_unique<frmImposta>(iniSparito, configurazione, messaggi, scelta);
    EXPECT_EQ(txt("txtFinestra").text(), QStringLiteral("Korvedo"));
    EXPECT_EQ(txt("txtDelay").text(), QStringLiteral("500"));
    expectMostraIValoriInUso();

    // A file in the way that cannot be read: reported, and the values in use shown.
    ASSERT_TRUE(QDir(cartella.path()).mkdir(QStringLiteral("spooling.ini")));
    messaggi.svuota();
    avviaEApri();
    ASSERT_EQ(messaggi.messaggi().size(), 1u);
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    EXPECT_TRUE(messaggi.messaggi()[0].testo.contains(
        QDir::toNativeSeparators(cartella.file(QStringLiteral("spooling.ini")))));
    expectMostraIValoriInUso();
    EXPECT_TRUE(dialogo->isVisible());

    // UTF-16 text that does not decode: its values would be guesses.
    ASSERT_TRUE(QDir(cartella.path()).rmdir(QStringLiteral("spooling.ini")));
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray rotto =
        utf16.encode(QStringLiteral("[DATI]\r\nDataBase=/altro.sdf\r\nFinestraPGM=Altro\r\n"));
    scriviIni(rotto + QByteArray("\x00\xD8", 2));  // a lone high surrogate
    messaggi.svuota();
    apri();
    ASSERT_EQ(messaggi.testi().size(), 1);
    EXPECT_TRUE(messaggi.testi()[0].endsWith(QStringLiteral("il testo UTF-16 del file non è leggibile")));
    expectMostraIValoriInUso();
}

TEST_F(ImpostaProva, ARelativeDatabaseAndADecimalDelayAreShownAsTypedAndSavedAsStartUpReadsThem) {
    const QByteArray prima = "[DATI]\nDataBase=liste.sdf\nFinestraPGM=Blocco note\nDelay=750,5\n";
    scriviIni(prima);
    avviaEApri();
    EXPECT_EQ(txt("txtDB").text(), QStringLiteral("liste.sdf"));
    EXPECT_EQ(txt("txtDelay").text(), QStringLiteral("750,5"));
    const QString inUso = QDir::toNativeSeparators(cartella.file(QStringLiteral("liste.sdf")));
    cmd("cmdSfoglia").click();
    ASSERT_EQ(scelta.richieste().size(), 1u);
    EXPECT_EQ(scelta.richieste()[0].nomeIniziale, inUso);

    txt("txtFinestra").setText(QStringLiteral("Korvedo"));
    cmd("cmdEsegui").click();

    EXPECT_TRUE(messaggi.messaggi().empty()) << messaggi.testi().join("|").toStdString();
    EXPECT_EQ(contenutoIni(), QByteArray(prima).replace("Blocco note", "Korvedo"));
    EXPECT_EQ(configurazione.PercorsoDatabase, inUso);
    EXPECT_EQ(configurazione.Ritardo, 750);
    EXPECT_EQ(dialogo->result(), QDialog::Accepted);
}

TEST_F(ImpostaProva, OpensWithFocusOnSaveAndTheDesignedTabOrder) {
    scriviIni(kIniCompleto);
    apri();

    EXPECT_EQ(dialogo->focusWidget(), &cmd("cmdEsegui"));
    const QList<QWidget*> attesi = {&txt("txtDelay"), &txt("txtDB"),      &txt("txtFinestra"),
                                    &cmd("cmdExit"),  &cmd("cmdSfoglia"), &cmd("cmdEsegui")};
    QWidget* corrente = &cmd("cmdEsegui");
    for (QWidget* atteso : attesi) {
        do corrente = corrente->nextInFocusChain();
        while (corrente->focusPolicy() == Qt::NoFocus);
        EXPECT_EQ(corrente->objectName(), atteso->objectName());
    }
}

// Sets the application font for one test and puts the old one back.
class FontApplicazione {
public:
    explicit FontApplicazione(double punti) : m_prima(QApplication::font()) {
        QFont font = m_prima;
        font.setPointSizeF(punti);
        QApplication::setFont(font);
    }
    ~FontApplicazione() { QApplication::setFont(m_prima); }

private:
    QFont m_prima;
};

TEST_F(ImpostaProva, CaptionsAreNeverCutOffWhateverTheSystemFont) {
    for (const double punti : {6.0, 9.0, 14.0}) {
        SCOPED_TRACE(punti);
        FontApplicazione font(punti);
        apri();
        EXPECT_TRUE(didascalieEntrano(*dialogo));
    }
}

TEST_F(ImpostaProva, KeepsTheSystemFontWhenTheCaptionsFitInIt) {
    FontApplicazione font(6.0);
    apri();
    EXPECT_EQ(dialogo->font(), QApplication::font());
}

TEST_F(ImpostaProva, OpensCentredOverItsParent) {
    QWidget principale;
    principale.setGeometry(120, 90, 600, 420);
    principale.show();
    frmImposta figlio(ini, configurazione, messaggi, scelta, &principale);
    figlio.show();

    const QPoint scarto = figlio.frameGeometry().center() - principale.frameGeometry().center();
    EXPECT_LE(scarto.manhattanLength(), 2) << scarto.x() << "," << scarto.y();
}

// --- Browse ---

TEST_F(ImpostaProva, BrowseAsksForADatabaseStartingAtTheCurrentPath) {
    scriviIni(kIniCompleto);
    apri();
    scelta.rispondi(std::nullopt);

    cmd("cmdSfoglia").click();

    ASSERT_EQ(scelta.richieste().size(), 1u);
    const auto& richiesta = scelta.richieste()[0];
    EXPECT_EQ(richiesta.genitore, dialogo.get());
    EXPECT_EQ(richiesta.titolo, QStringLiteral("Apri Database"));
    EXPECT_EQ(richiesta.tipi,
              (std::vector<TipoFile>{{QStringLiteral("File database (*.sdf)"), QStringLiteral("*.sdf")},
                                     {QStringLiteral("tutti i files"), QStringLiteral("*")}}));
    EXPECT_EQ(richiesta.nomeIniziale, QStringLiteral("/dati/liste.sdf"));
}

TEST_F(ImpostaProva, BrowseKeepsTheOldTextOnCancelOrANameThatIsNoExistingFile) {
    scriviIni(kIniCompleto);
    apri();
    const std::optional<QString> risposte[] = {std::nullopt, cartella.file(QStringLiteral("manca.sdf")),
                                               cartella.path(), QString()};
    for (const auto& risposta : risposte) {
        scelta.rispondi(risposta);
        cmd("cmdSfoglia").click();
        EXPECT_EQ(txt("txtDB").text(), QStringLiteral("/dati/liste.sdf"))
            << risposta.value_or(QStringLiteral("<cancel>")).toStdString();
    }
}

TEST_F(ImpostaProva, BrowseToAnExistingFileFillsTheBoxButStoresNothing) {
    scriviIni(kIniCompleto);
    cartella.write(QStringLiteral("altro.sdf"), "x");
    apri();
    scelta.rispondi(cartella.file(QStringLiteral("altro.sdf")));

    cmd("cmdSfoglia").click();

    EXPECT_EQ(txt("txtDB").text(), QDir::toNativeSeparators(cartella.file(QStringLiteral("altro.sdf"))));
    EXPECT_EQ(contenutoIni(), kIniCompleto);
    expectConfigurazioneInvariata();
}

// --- Save ---

TEST_F(ImpostaProva, SaveWritesTheTextsAsTheyStandThenUpdatesConfigurazione) {
    scriviIni(
        "; impostazioni\n[DATI]\nDataBase=/dati/liste.sdf\nFinestraPGM=Blocco note\nDelay=250\n"
        "[ALTRO]\nChiave=valore\n");
    apri();
    txt("txtDB").setText(QStringLiteral(" /nuovo/Dati 2.sdf "));
    txt("txtFinestra").setText(QStringLiteral("  Korvedo - Ordini "));
    txt("txtDelay").setText(QStringLiteral(" 750 "));

    cmd("cmdEsegui").click();

    EXPECT_EQ(contenutoIni(),
              QByteArray("; impostazioni\n[DATI]\nDataBase= /nuovo/Dati 2.sdf \n"
                         "FinestraPGM=  Korvedo - Ordini \nDelay= 750 \n[ALTRO]\nChiave=valore\n"));
    // In use: the values as the next start reads them back, blanks trimmed.
    EXPECT_EQ(configurazione.PercorsoDatabase, QStringLiteral("/nuovo/Dati 2.sdf"));
    EXPECT_EQ(configurazione.TitoloFinestra, QStringLiteral("Korvedo - Ordini"));
    EXPECT_EQ(configurazione.Ritardo, 750);
    EXPECT_FALSE(dialogo->isVisible());
    EXPECT_EQ(dialogo->result(), QDialog::Accepted);
    EXPECT_TRUE(messaggi.messaggi().empty());
}

TEST_F(ImpostaProva, SaveAfterAnEmptyDatabaseValueStoresTheDefaultPath) {
    scriviIni("[DATI]\nDataBase=\nFinestraPGM=Korvedo\nDelay=500\n");
    avviaEApri();

    cmd("cmdEsegui").click();

    const QString predefinito = QDir::toNativeSeparators(cartella.file(QStringLiteral("Dati.sdf")));
    EXPECT_EQ(
        ini.LeggiIni(QStringLiteral("DATI"), QStringLiteral("DataBase"), QStringLiteral("spooling.ini")),
        predefinito);
    EXPECT_EQ(configurazione.PercorsoDatabase, predefinito);
}

TEST_F(ImpostaProva, SaveCreatesTheSettingsFileWhenItIsMissing) {
    apri();
    txt("txtFinestra").setText(QStringLiteral("Korvedo"));
    txt("txtDelay").setText(QStringLiteral("0"));

    cmd("cmdEsegui").click();

    const QByteArray fine = ini::kFineRigaPredefinita.toByteArray();
    EXPECT_EQ(contenutoIni(), "[DATI]" + fine + "DataBase=/dati/liste.sdf" + fine + "FinestraPGM=Korvedo" +
                                  fine + "Delay=0" + fine);
    EXPECT_EQ(configurazione.Ritardo, 0);
}

// --- Leave ---

TEST_F(ImpostaProva, LeavingByExitOrCloseBoxWritesNothing) {
    for (const bool conEsci : {true, false}) {
        SCOPED_TRACE(conEsci ? "Esci" : "close box");
        scriviIni(kIniCompleto);
        apri();
        txt("txtDB").setText(QStringLiteral("/altrove.sdf"));
        txt("txtDelay").setText(QStringLiteral("750"));

        if (conEsci) {
            cmd("cmdExit").click();
        } else {
            dialogo->close();
        }

        EXPECT_FALSE(dialogo->isVisible());
        EXPECT_EQ(dialogo->result(), QDialog::Rejected);
        EXPECT_EQ(contenutoIni(), kIniCompleto);
        expectConfigurazioneInvariata();
        apri();
        EXPECT_EQ(txt("txtDelay").text(), QStringLiteral("250"));
    }
}

// --- Refusals and failures ---

TEST_F(ImpostaProva, ADelayThatStartUpWouldRefuseIsRefusedBeforeAnythingIsWritten) {
    scriviIni(kIniCompleto);
    apri();
    for (const char* ritardo :
         {"", "  ", "abc", "-1", "2147483647,5", "2147483648", "1e3", "0x10", "750.5"}) {
        SCOPED_TRACE(ritardo);
        messaggi.svuota();
        cmd("cmdEsegui").setFocus();
        txt("txtDB").setText(QStringLiteral("/altrove.sdf"));
        txt("txtDelay").setText(QString::fromLatin1(ritardo));

        cmd("cmdEsegui").click();

        ASSERT_EQ(messaggi.messaggi().size(), 1u);
        EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
        EXPECT_EQ(messaggi.messaggi()[0].testo, kMessaggioRitardo);
        EXPECT_EQ(contenutoIni(), kIniCompleto);
        expectConfigurazioneInvariata();
        EXPECT_TRUE(dialogo->isVisible());
        EXPECT_EQ(dialogo->focusWidget(), &txt("txtDelay"));
    }
}

TEST_F(ImpostaProva, AFailedWriteIsReportedAndTheDialogStaysOpenWithConfigurazioneUnchanged) {
    // The program folder vanishes while the dialog is open: no write can land.
    auto sparita = std::make_unique<TempFolder>();
    IniProgramma iniSparito(sparita->path());
    const QString percorsoIni = QDir::toNativeSeparators(sparita->file(QStringLiteral("spooling.ini")));
    dialogo = std::make_unique<frmImposta>(iniSparito, configurazione, messaggi, scelta);
    dialogo->show();
    txt("txtDelay").setText(QStringLiteral("750"));
    sparita.reset();

    cmd("cmdEsegui").click();

    ASSERT_EQ(messaggi.messaggi().size(), 1u);
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    EXPECT_TRUE(messaggi.messaggi()[0].testo.contains(percorsoIni))
        << messaggi.messaggi()[0].testo.toStdString();
    EXPECT_TRUE(dialogo->isVisible());
    expectConfigurazioneInvariata();
    dialogo.reset();  // before the settings it refers to go
}

// --- Keys ---

TEST_F(ImpostaProva, EscapeDoesNothingFromABoxOrAButton) {
    const std::pair<const char*, Qt::KeyboardModifiers> casi[] = {
        {"txtDelay", Qt::NoModifier},
        {"cmdEsegui", Qt::NoModifier},
        // A second keyboard layout's group, or Esc on a keypad.
        {"txtDB", Qt::GroupSwitchModifier},
        {"cmdExit", Qt::KeypadModifier},
    };
    for (const auto& [nome, modificatori] : casi) {
        SCOPED_TRACE(nome);
        scriviIni(kIniCompleto);
        apri();
        txt("txtDelay").setText(QStringLiteral("750"));

        QTest::keyClick(dialogo->findChild<QWidget*>(QString::fromLatin1(nome)), Qt::Key_Escape,
                        modificatori);

        EXPECT_TRUE(dialogo->isVisible());
        EXPECT_EQ(txt("txtDelay").text(), "750");
        EXPECT_EQ(contenutoIni(), kIniCompleto);
        expectConfigurazioneInvariata();
    }
}

TEST_F(ImpostaProva, EnterInATextBoxDoesNotSave) {
    scriviIni(kIniCompleto);
    apri();
    txt("txtDelay").setText(QStringLiteral("750"));

    for (const char* nome : {"txtDB", "txtFinestra", "txtDelay"}) {
        txt(nome).setFocus();
        QTest::keyClick(&txt(nome), Qt::Key_Return);
        QTest::keyClick(&txt(nome), Qt::Key_Enter, Qt::KeypadModifier);
    }

    EXPECT_TRUE(dialogo->isVisible());
    EXPECT_EQ(contenutoIni(), kIniCompleto);
    expectConfigurazioneInvariata();
}

TEST_F(ImpostaProva, EnterPressesOnlyTheButtonThatHasTheFocus) {
    scriviIni(kIniCompleto);
    apri();
    txt("txtDelay").setText(QStringLiteral("750"));

    cmd("cmdExit").setFocus();
    QTest::keyClick(&cmd("cmdExit"), Qt::Key_Return);

    EXPECT_FALSE(dialogo->isVisible());
    EXPECT_EQ(dialogo->result(), QDialog::Rejected);
    EXPECT_EQ(contenutoIni(), kIniCompleto);
}

}  // namespace
}  // namespace tastalo::prova
