#include "send/invio_barcode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "send/carica_barcode.h"
#include "send/pausa_invio.h"
#include "support/database_prova.h"
#include "support/fake_messaggi.h"
#include "support/pausa_finta.h"
#include "support/recording_keyboard_target.h"

namespace tastalo::prova {
namespace {

using platform::RecordingKeyboardTarget;
using Kind = RecordingKeyboardTarget::Call::Kind;
using prova::FakeMessaggi;
using ::testing::ElementsAre;

class InvioBarcodeProva : public ::testing::Test {
protected:
    InvioBarcodeProva() {
        pausa.registra = [this](const QString& voce) { registro << voce; };
        db.configurazione.TitoloFinestra = QStringLiteral("Korvedo");
        db.configurazione.Ritardo = 500;
        tastiera.setHook([this](const RecordingKeyboardTarget::Call& call) {
            switch (call.kind) {
                case Kind::Activate: registro << "attiva " + QString::fromStdU32String(call.text); break;
                case Kind::HasFocus: registro << "fuoco?"; break;
                case Kind::Type: registro << "scrivi " + QString::fromStdU32String(call.text); break;
                case Kind::Enter: registro << "invio"; break;
                case Kind::Finish: registro << "fine"; break;
            }
        });
    }

    void esegui(std::optional<std::int32_t> id) {
        invio.esegui(id, [this](int inviati, int totale) { avanzamento.push_back({inviati, totale}); });
    }

    prova::DatabaseProva db;
    QStringList registro;
    RecordingKeyboardTarget tastiera;
    prova::PausaFinta pausa;
    FakeMessaggi messaggi;
    InvioBarcode invio{db.configurazione, db.archivio, tastiera, pausa, messaggi};
    std::vector<std::pair<int, int>> avanzamento;
};

TEST_F(InvioBarcodeProva, TwoBarcodesAreTypedInOrderWithPausesAroundThemThenCompletion) {
    db.lista(7, "Magazzino", {QStringLiteral("8001"), QStringLiteral("8002")});

    esegui(7);

    EXPECT_EQ(registro,
              QStringList({"attiva Korvedo", "pausa 500", "fuoco?", "scrivi 8001", "invio", "eventi",
                           "pausa 500", "fuoco?", "scrivi 8002", "invio", "eventi", "pausa 500", "fine"}));
    ASSERT_EQ(messaggi.messaggi().size(), 1u);
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Informazione);
    EXPECT_EQ(messaggi.messaggi()[0].testo, "Operazione Completata.");
    EXPECT_THAT(avanzamento, ElementsAre(std::pair{0, 2}, std::pair{1, 2}, std::pair{2, 2}));
    EXPECT_FALSE(invio.inCorso());
}

TEST_F(InvioBarcodeProva, ListWithoutBarcodesOrWithOnlyEmptyOnesSaysSoAndActivatesNothing) {
    db.lista(3, "Vuota", {});
    db.lista(4, "Solo vuoti", {QString(""), QString("")});

    for (const int id : {3, 4}) {
        esegui(id);
        EXPECT_TRUE(registro.isEmpty());
        EXPECT_EQ(tastiera.received(), U"");
    }
    EXPECT_EQ(messaggi.testi(),
              QStringList({"mancano i dati da elaborare.", "mancano i dati da elaborare."}));
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
}

TEST_F(InvioBarcodeProva, AControlCharacterIsNamedWithItsPlaceAndNothingIsTyped) {
    db.lista(5, "Con controllo", {QStringLiteral("ok"), QStringLiteral("a\u0007Z")});

    esegui(5);

    EXPECT_TRUE(registro.isEmpty());
    EXPECT_EQ(
        messaggi.testi(),
        QStringList({"Il barcode numero 2 della lista contiene il carattere di controllo U+0007 in posizione "
                     "2, che non si può digitare. Non è stato inviato nessun barcode."}));
}

TEST_F(InvioBarcodeProva, EmptyBarcodesAnywhereAreSentAsEnterAlone) {
    db.lista(7, "Magazzino", {QString(""), QStringLiteral("A1"), QString("")});

    esegui(7);

    EXPECT_EQ(tastiera.received(), U"\nA1\n\n");
    EXPECT_EQ(messaggi.testi(), QStringList({"Operazione Completata."}));
}

TEST_F(InvioBarcodeProva, KeyLanguageCharactersAndTabsReachTheKeyboardUnchanged) {
    db.lista(7, "Magazzino",
             {QStringLiteral("%{F4}"), QStringLiteral("+a^b~(c)[d]"), QStringLiteral("x\ty"),
              QStringLiteral("éß€Ω")});

    esegui(7);

    EXPECT_EQ(tastiera.received(), U"%{F4}\n+a^b~(c)[d]\nx\ty\néß€Ω\n");
}

TEST_F(InvioBarcodeProva, MissingTargetWindowGivesTheClosedProgramMessageAndTypesNothing) {
    db.lista(7, "Magazzino", {QStringLiteral("8001")});
    tastiera.failOn(Kind::Activate, 0, platform::failure(platform::kTargetWindowMissing));

    esegui(7);

    EXPECT_EQ(registro, QStringList({"attiva Korvedo", "fine"}));
    EXPECT_EQ(messaggi.testi(), QStringList({"Il programma a cui inviare i dati risulta chiuso."}));
}

TEST_F(InvioBarcodeProva, AnOpenWindowNotBroughtToTheFrontOrOutOfReachIsNotCalledClosed) {
    db.lista(7, "Magazzino", {QStringLiteral("8001")});
    tastiera.failOn(Kind::Activate, 0, platform::failure(platform::kTargetNotActivated, U"Korvedo"));
    tastiera.failOn(Kind::Activate, 1, platform::failure(platform::kTargetOutOfReach, U"Korvedo"));
    tastiera.failOn(Kind::Activate, 2, platform::failure(platform::kTargetOutOfReach));
    tastiera.failOn(Kind::Activate, 3, platform::failure(platform::kOutOfReachBySetting, U"Korvedo"));

    for (int i = 0; i < 4; ++i) esegui(7);

    ASSERT_EQ(messaggi.testi().size(), 4);
    EXPECT_TRUE(messaggi.testi()[0].startsWith("1007 La finestra \"Korvedo\" è aperta, ma"));
    EXPECT_TRUE(messaggi.testi()[1].startsWith("1008 La finestra \"Korvedo\" non è raggiungibile"));
    EXPECT_TRUE(messaggi.testi()[2].startsWith("1008 In questa sessione Wayland Tastalo non può digitare"));
    EXPECT_TRUE(messaggi.testi()[3].contains("TASTALO_BACKEND=x11"));
    EXPECT_EQ(tastiera.count(Kind::Type), 0);
}

TEST_F(InvioBarcodeProva, TypingFailurePartWayKeepsWhatWasTypedAndShowsTheFailure) {
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    tastiera.failOn(Kind::Type, 1, platform::failure(platform::kInputRefused, {}, "BadValue"));

    esegui(7);

    EXPECT_EQ(tastiera.count(Kind::Type), 2);
    EXPECT_EQ(tastiera.count(Kind::Enter), 1);
    EXPECT_EQ(registro.last(), "fine");
    EXPECT_EQ(messaggi.testi(), QStringList({"1005 Il sistema ha rifiutato i tasti: la finestra di "
                                             "destinazione non li ha ricevuti tutti. (BadValue)"}));
}

TEST_F(InvioBarcodeProva, TargetWindowLostWhileTypingGivesTheClosedProgramMessageWithTheCount) {
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B")});
    tastiera.failOn(Kind::Enter, 1, platform::failure(platform::kTargetWindowMissing));

    esegui(7);

    EXPECT_EQ(messaggi.testi(),
              QStringList({"Il programma a cui inviare i dati risulta chiuso. Barcode inviati: 1 di 2."}));
}

TEST_F(InvioBarcodeProva, FocusTakenByAnotherWindowStopsBeforeTheNextBarcode) {
    db.lista(7, "Magazzino",
             {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
              QStringLiteral("E")});
    tastiera.loseFocusAt(2);
    QString ultimaVoceAlMessaggio;
    messaggi.allaComparsa([&](const FakeMessaggi::Messaggio&) { ultimaVoceAlMessaggio = registro.last(); });

    esegui(7);

    EXPECT_EQ(tastiera.received(), U"A\nB\n");
    // The keyboard is given back before the operator reads the message.
    EXPECT_EQ(ultimaVoceAlMessaggio, "fine");
    ASSERT_EQ(messaggi.messaggi().size(), 1u);
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    EXPECT_EQ(messaggi.messaggi()[0].testo,
              "Invio interrotto: la finestra di destinazione non è più attiva. "
              "Barcode inviati: 2 di 5.");
}

TEST_F(InvioBarcodeProva, ATargetSeenClosingBetweenBarcodesIsCalledClosedWithTheCount) {
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    tastiera.loseFocusAt(2, platform::failure(platform::kTargetWindowMissing));

    esegui(7);

    EXPECT_EQ(tastiera.received(), U"A\nB\n");
    EXPECT_EQ(messaggi.testi(),
              QStringList({"Il programma a cui inviare i dati risulta chiuso. Barcode inviati: 2 di 3."}));
}

TEST_F(InvioBarcodeProva, FocusLostWhileTypingABarcodeStopsWithTheSameMessage) {
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    tastiera.failOn(Kind::Enter, 1, platform::failure(platform::kTargetLostFocus));

    esegui(7);

    EXPECT_EQ(tastiera.count(Kind::Type), 2);
    EXPECT_EQ(registro.last(), "fine");
    EXPECT_EQ(messaggi.testi(),
              QStringList({"Invio interrotto: la finestra di destinazione non è più attiva. "
                           "Barcode inviati: 1 di 3."}));
}

TEST_F(InvioBarcodeProva, ABarcodeWhoseDeliveryIsNotConfirmedIsNotCountedAndNothingFollowsIt) {
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    tastiera.failConfirmOn(1, platform::failure(platform::kTargetLostFocus));

    esegui(7);

    EXPECT_EQ(tastiera.received(), U"A\nB\n");
    EXPECT_EQ(messaggi.testi(),
              QStringList({"Invio interrotto: la finestra di destinazione non è più attiva. "
                           "Barcode inviati: 1 di 3."}));
}

TEST_F(InvioBarcodeProva, FailuresThatEndTheSendWithACountAreSaidInTheLastMessage) {
    const QString nonSorvegliato =
        "\n\nAttenzione: il sistema non ha permesso a Tastalo di controllare dove sono arrivati i tasti, "
        "quindi l'invio è stato fatto senza questo controllo. Verificare nella finestra di destinazione che "
        "tutti i barcode siano arrivati.";
    const struct {
        const char* caso;
        bool sorvegliato;
        platform::Status fallimentoInvio;  // of the second Enter
        QString testo;
        std::size_t trattenuti = 0;                // operator's keys held back
        std::optional<std::size_t> arrivati = {};  // Enters the backend counted
    } casi[] = {
        {"keys not taken", true, platform::failure(platform::kKeysNotTaken),
         "Invio interrotto: la finestra di destinazione non ha preso i tasti entro il tempo previsto (il "
         "programma potrebbe essere bloccato o troppo lento). Barcode inviati: 1 di 3; il barcode seguente "
         "potrebbe essere arrivato solo in parte."},
        {"keyboard layout changed", true, platform::failure(platform::kKeymapReplaced),
         "Invio interrotto: il layout della tastiera è stato cambiato durante l'invio. Barcode inviati per "
         "intero: 1 di 3. Il barcode seguente potrebbe essere stato scritto in parte o con caratteri "
         "sbagliati, senza Invio: verificarlo nella finestra di destinazione."},
        {"lost while the target read the keys", true, platform::failure(platform::kTargetLostFocusReading),
         "Invio interrotto: la finestra di destinazione non è più attiva. Barcode inviati: 1 di 3. Il "
         "barcode 2 "
         "potrebbe essere arrivato anch'esso: verificarlo nella finestra di destinazione."},
        {"operator pressed a key", true, platform::failure(platform::kOperatorKeyPressed, U"Control_L"),
         "Invio interrotto: durante l'invio è stato premuto il tasto Control_L sulla tastiera, che è "
         "arrivato "
         "alla finestra di destinazione insieme ai tasti di Tastalo. Barcode inviati per intero: 1 di 3. Il "
         "barcode seguente potrebbe essere stato scritto in parte o mescolato al tasto, senza Invio: "
         "verificarlo nella finestra di destinazione."},
        {"operator's keys held back",
         true,
         {},
         "Operazione Completata.\n\nI tasti premuti sulla tastiera durante l'invio sono stati ignorati, "
         "perché non si mescolassero ai barcode.",
         2},
        {"unwatched, complete", false, {}, "Operazione Completata." + nonSorvegliato},
        {"unwatched, focus lost", false, platform::failure(platform::kTargetLostFocus),
         "Invio interrotto: la finestra di destinazione non è più attiva. Barcode inviati: 1 di 3." +
             nonSorvegliato},
        // Its confirmation was on its way when the second Enter failed, and
        // brought the loss: the backend's count stands.
        {"the first barcode found lost later", true, platform::failure(platform::kTargetLostFocus),
         "Invio interrotto: la finestra di destinazione non è più attiva. Barcode inviati: 0 di 3.", 0, 0},
    };
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.caso);
        RecordingKeyboardTarget tastiera;
        if (!caso.sorvegliato) tastiera.refuseWatch();
        if (!caso.fallimentoInvio.ok()) tastiera.failOn(Kind::Enter, 1, caso.fallimentoInvio);
        tastiera.holdBackOperatorKeys(caso.trattenuti);
        if (caso.arrivati) tastiera.countsDelivered(*caso.arrivati);
        FakeMessaggi messaggi;
        InvioBarcode invio{db.configurazione, db.archivio, tastiera, pausa, messaggi};

        invio.esegui(7, {});

        EXPECT_EQ(messaggi.testi(), QStringList({caso.testo}));
    }
}

TEST_F(InvioBarcodeProva, FocusLostBeforeTheFirstBarcodeTypesNothing) {
    db.lista(7, "Magazzino", {QStringLiteral("A")});
    tastiera.loseFocusAt(0);

    esegui(7);

    EXPECT_EQ(tastiera.count(Kind::Type), 0);
    EXPECT_THAT(messaggi.testi().join("").toStdString(), ::testing::HasSubstr("Barcode inviati: 0 di 1."));
}

TEST_F(InvioBarcodeProva, ControlCharacterInABarcodeStopsTheSendBeforeAnythingIsTyped) {
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C\nD")});

    esegui(7);

    EXPECT_TRUE(registro.isEmpty());
    ASSERT_EQ(messaggi.messaggi().size(), 1u);
    EXPECT_EQ(messaggi.messaggi()[0].icona, FakeMessaggi::Icona::Errore);
    EXPECT_THAT(messaggi.messaggi()[0].testo.toStdString(), ::testing::HasSubstr("barcode numero 3"));
}

TEST_F(InvioBarcodeProva, NullBarcodeFailsTheLoadBeforeAnythingIsTyped) {
    db.lista(7, "Magazzino", {QStringLiteral("A")});
    db.esegui("insert into movimenti values (7, NULL)");

    esegui(7);

    EXPECT_TRUE(registro.isEmpty());
    EXPECT_EQ(messaggi.testi(), QStringList({"94 Utilizzo non valido di Null"}));
}

TEST_F(InvioBarcodeProva, NoListChosenIsAFailureAndTypesNothing) {
    esegui(std::nullopt);

    EXPECT_TRUE(registro.isEmpty());
    EXPECT_EQ(messaggi.testi(), QStringList({"381 Nessuna lista selezionata."}));
}

TEST_F(InvioBarcodeProva, LockedDatabaseShowsTheDatabaseFailureNotTheClosedProgramMessage) {
    db.lista(7, "Magazzino", {QStringLiteral("A")});
    const auto altroProgramma = db.blocca();

    esegui(7);

    EXPECT_TRUE(registro.isEmpty());
    ASSERT_EQ(messaggi.testi().size(), 1);
    EXPECT_TRUE(messaggi.testi()[0].startsWith("5 ")) << messaggi.testi()[0].toStdString();
    EXPECT_NE(messaggi.testi()[0], "Il programma a cui inviare i dati risulta chiuso.");
}

TEST_F(InvioBarcodeProva, MissingDatabaseFileShowsTheGeneralFailureMessage) {
    db.lista(7, "Magazzino", {QStringLiteral("A")});
    db.configurazione.PercorsoDatabase = db.cartella.file("altro.sdf");

    esegui(7);

    EXPECT_TRUE(registro.isEmpty());
    ASSERT_EQ(messaggi.testi().size(), 1);
    EXPECT_TRUE(messaggi.testi()[0].startsWith("14 ")) << messaggi.testi()[0].toStdString();
    EXPECT_FALSE(QFile::exists(db.cartella.file("altro.sdf")));
}

TEST_F(InvioBarcodeProva, DelayIsReadAfreshAtEveryPause) {
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B")});
    pausa.durante = [this] { db.configurazione.Ritardo = 20; };

    esegui(7);

    EXPECT_EQ(registro.filter("pausa"), QStringList({"pausa 500", "pausa 20", "pausa 20"}));
}

TEST_F(InvioBarcodeProva, NegativeDelayPausesForNothing) {
    db.lista(7, "Magazzino", {QStringLiteral("A")});
    db.configurazione.Ritardo = -30;

    esegui(7);

    EXPECT_EQ(registro.filter("pausa"), QStringList({"pausa 0", "pausa 0"}));
}

TEST_F(InvioBarcodeProva, InterruptionWhileSendingStopsTypingSilentlyAndGivesTheKeyboardBack) {
    db.lista(7, "Magazzino", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    pausa.durante = [this] {
        EXPECT_TRUE(invio.inCorso());
        invio.interrompi();
    };

    esegui(7);

    EXPECT_EQ(tastiera.received(), U"A\n");
    EXPECT_EQ(registro.last(), "fine");
    EXPECT_TRUE(registro.contains("interrompi"));
    EXPECT_TRUE(messaggi.messaggi().empty());
    EXPECT_FALSE(invio.inCorso());
}

TEST_F(InvioBarcodeProva, InterruptionOutsideASendChangesNothing) {
    db.lista(7, "Magazzino", {QStringLiteral("A")});
    invio.interrompi();

    esegui(7);

    EXPECT_EQ(tastiera.received(), U"A\n");
    EXPECT_EQ(messaggi.testi(), QStringList({"Operazione Completata."}));
}

TEST(PrimoBarcodeNonDigitabile, FindsTheFirstControlCharacterWithItsPlaceButAcceptsTab) {
    using Trovato = CarattereNonDigitabile;
    EXPECT_EQ(primoBarcodeNonDigitabile({"a\tb", "ok"}), std::nullopt);
    EXPECT_EQ(primoBarcodeNonDigitabile({"a", "b", QString("c€") + QChar(0x1B)}), (Trovato{3, 3, 0x1B}));
    EXPECT_EQ(primoBarcodeNonDigitabile({QString(QChar(0x7F)), "\r"}), (Trovato{1, 1, 0x7F}));
    EXPECT_EQ(primoBarcodeNonDigitabile({QStringLiteral("\U0001D11E\u0007")}), (Trovato{1, 2, 0x07}));
    EXPECT_EQ(primoBarcodeNonDigitabile({}), std::nullopt);
}

}  // namespace
}  // namespace tastalo::prova
