// The whole send against real windows: the X11 backend, the real pauses and
// a real list database, typing into the stand-in target program.

#include <gtest/gtest.h>

#include <functional>

#include "display_fixture.h"
#include "pausa_con_azione.h"
#include "platform/conformance_cases.h"
#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "send/invio_barcode.h"
#include "store/archivio_liste.h"
#include "support/database_prova.h"
#include "support/fake_messaggi.h"

namespace tastalo {
namespace {

class SendE2ETest : public prova::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        if (!underWindowManager()) GTEST_SKIP() << "the send is checked under a window manager";
        db.configurazione.TitoloFinestra = QStringLiteral("Korvedo");
        db.configurazione.Ritardo = 0;
        mappaPrima = probe().keyboardMapping();
    }

    void TearDown() override {
        if (!IsSkipped()) {
            EXPECT_EQ(probe().keyboardMapping(), mappaPrima) << "keymap not restored";
        }
    }

    void invia(const std::vector<QString>& barcode) {
        db.lista(7, QStringLiteral("Magazzino"), barcode);
        invio.esegui(7);
    }

    prova::DatabaseProva db;
    ArchivioListe archivio;
    std::unique_ptr<platform::KeyboardTarget> tastiera = platform::createKeyboardTarget();
    prova::PausaConAzione pausa;
    prova::FakeMessaggi messaggi;
    InvioBarcode invio{db.configurazione, archivio, *tastiera, pausa, messaggi};
    std::vector<unsigned long> mappaPrima;
};

TEST_F(SendE2ETest, EveryBarcodeReachesTheTargetExactlyAsStored) {
    auto target = startTarget("Korvedo", "korvedo.log");
    std::vector<QString> barcode;
    std::string atteso;
    for (const auto& caso : platform::conformance::typingCases()) {
        barcode.push_back(QString::fromStdU32String(caso.barcode));
        atteso += line(caso.barcode);
    }

    invia(barcode);

    EXPECT_EQ(messaggi.testi(), QStringList({"Operazione Completata."}));
    EXPECT_EQ(target->logAfter(barcode.size()), atteso);
}

TEST_F(SendE2ETest, TheCharactersAListLacksOnTheKeymapAreBoundOnceForTheWholeSend) {
    auto target = startTarget("Korvedo", "korvedo.log");
    std::vector<QString> barcode;
    std::string atteso;
    for (int i = 0; i < 30; ++i) {
        const std::u32string testo = std::u32string(U"éß€Ω").substr(static_cast<std::size_t>(i % 4)) + U"-" +
                                     platform::fromUtf8(std::to_string(i)) + U"°µ";
        barcode.push_back(QString::fromStdU32String(testo));
        atteso += line(testo);
    }
    probe().keymapChanges();

    invia(barcode);

    EXPECT_EQ(messaggi.testi(), QStringList({"Operazione Completata."}));
    EXPECT_EQ(target->logAfter(barcode.size()), atteso);
    EXPECT_EQ(probe().keymapChanges(), 2) << "one change to bind them, one to give the keycodes back";
}

TEST_F(SendE2ETest, MissingTargetTypesNothingIntoTheWindowInFront) {
    auto testimone = startTarget("Testimone", "testimone.log");
    bringToFront(testimone->window());

    invia({QStringLiteral("8001"), QStringLiteral("8002")});

    EXPECT_EQ(messaggi.testi(), QStringList({"Il programma a cui inviare i dati risulta chiuso."}));
    EXPECT_EQ(logBeforeMarker(*testimone), std::string());
}

TEST_F(SendE2ETest, AnotherWindowActivatedMidSendStopsTheSendAndGetsNothing) {
    auto target = startTarget("Korvedo", "korvedo.log");
    auto testimone = startTarget("Testimone", "testimone.log");
    pausa.m_azione = [&](int passaggio) {
        if (passaggio == 2) bringToFront(testimone->window());
    };

    invia({QStringLiteral("A1"), QStringLiteral("B2"), QStringLiteral("C3"), QStringLiteral("D4"),
           QStringLiteral("E5")});

    EXPECT_EQ(messaggi.testi(),
              QStringList({"Invio interrotto: la finestra di destinazione non è più attiva. "
                           "Barcode inviati: 2 di 5."}));
    EXPECT_EQ(target->logAfter(2), "A1\nB2\n");
    EXPECT_EQ(logBeforeMarker(*testimone), std::string());
}

}  // namespace
}  // namespace tastalo
