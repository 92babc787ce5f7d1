// Someone else acts at a random moment of a send at Delay 0: another window
// takes the focus (and maybe gives it back), or the operator presses keys
// on a keyboard of their own. The closing message counts exactly the
// barcodes the target received whole; a thief receives the keys of one
// check interval at most; no barcode mixed with the operator's keys gets an
// Enter, and no key stays down after the send.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>

#include "display_fixture.h"
#include "pausa_con_azione.h"
#include "platform/keyboard_target.h"
#include "send/invio_barcode.h"
#include "store/archivio_liste.h"
#include "support/database_prova.h"
#include "support/fake_messaggi.h"

namespace tastalo {
namespace {

constexpr std::size_t kMaxKeysInFlight = 16;
// X's modifier bits for Caps Lock and Control.
constexpr unsigned int kLockBit = 1U << 1;
constexpr unsigned int kControlBit = 1U << 2;

class FocusThiefE2ETest : public prova::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        if (!underWindowManager()) GTEST_SKIP() << "activation by another client needs a window manager";
        db.configurazione.TitoloFinestra = QStringLiteral("Korvedo");
        db.configurazione.Ritardo = 0;
        target = startTarget("Korvedo", "korvedo.log");
        ladro = startTarget("Ladro", "ladro.log");
        m_seme = std::random_device{}();
        random.seed(m_seme);
    }

    struct Esito {
        int contati = -1;         // barcodes the closing message counts
        std::string alBersaglio;  // what the target received, its line ends included
        std::string alLadro;      // what the other window received
        std::string messaggio;
    };

    // The focus itself first, as a program that takes it does, then the
    // window manager's activation; the manager alone can lag far behind
    // the keys of a fast send.
    std::string furto() const {
        const std::string finestra = std::to_string(ladro->window());
        return "xdotool windowfocus " + finestra + " windowactivate " + finestra + " >/dev/null 2>&1 &";
    }

    // Sends list `id`; once barcode `dopoBarcode` is typed, runs `azione`
    // (by default another client activates the thief). Then finds out what
    // each window received by typing an end marker into it once the send is
    // over; `primaDelSegno` runs before that.
    Esito inviaConFurto(int id, int dopoBarcode, std::string azione = {},
                        const std::function<void()>& primaDelSegno = {}) {
        if (azione.empty()) azione = furto();
        target->clearLog();
        ladro->clearLog();
        messaggi.svuota();
        prova::PausaConAzione pausa;
        pausa.m_azione = [&](int inviati) {
            if (inviati == dopoBarcode) prova::run(azione);
        };
        InvioBarcode invio{db.configurazione, archivio, *tastiera, pausa, messaggi};
        invio.esegui(id);

        Esito esito;
        EXPECT_EQ(messaggi.testi().size(), 1);
        const QString testo = messaggi.testi().value(0);
        const auto trovato =
            QRegularExpression(
                QStringLiteral("^Invio interrotto: .* Barcode inviati(?: per intero)?: (\\d+) di \\d+\\."))
                .match(testo);
        EXPECT_TRUE(trovato.hasMatch()) << "the send was not stopped: " << testo.toStdString();
        if (trovato.hasMatch()) esito.contati = trovato.captured(1).toInt();
        esito.messaggio = testo.toStdString();
        if (primaDelSegno) primaDelSegno();
        esito.alLadro = finoAlSegno(*ladro);
        esito.alBersaglio = finoAlSegno(*target);
        return esito;
    }

    std::string finoAlSegno(const prova::TargetProgram& finestra) {
        bringToFront(finestra.window());
        const std::optional<std::string> testo = logBeforeMarker(finestra);
        EXPECT_TRUE(testo) << "the end marker never arrived; the active window is " << probe().activeWindow()
                           << ", the marker's " << finestra.window();
        return testo.value_or(std::string());
    }

    // One line per send in the test's output: the figures of the guarantee.
    void riporta(int giro, int dopoBarcode, const Esito& esito) {
        std::printf("thief run %d (seed %u): stolen after barcode %d, count %d, thief received %zu keys\n",
                    giro, m_seme, dopoBarcode, esito.contati, tasti(esito.alLadro));
    }

    static std::size_t tasti(const std::string& utf8) {
        return QString::fromStdString(utf8).toStdU32String().size();
    }

    // The target holds exactly the first `contati` barcodes, each with its
    // Enter, and at most a beginning of the next one after them (with the
    // operator's keys in it, when `mescolato`).
    static void verificaBersaglio(const Esito& esito, const std::vector<std::string>& barcode,
                                  bool mescolato = false) {
        ASSERT_GE(esito.contati, 0);
        std::string intere;
        for (int i = 0; i < esito.contati; ++i) intere += barcode[static_cast<std::size_t>(i)] + "\n";
        ASSERT_TRUE(esito.alBersaglio.compare(0, intere.size(), intere) == 0)
            << "the target lacks some of the " << esito.contati << " barcodes counted";
        const std::string resto = esito.alBersaglio.substr(intere.size());
        EXPECT_EQ(resto.find('\n'), std::string::npos)
            << "the target received more whole barcodes than counted: " << resto.substr(0, 100);
        if (!mescolato && static_cast<std::size_t>(esito.contati) < barcode.size()) {
            EXPECT_EQ(barcode[static_cast<std::size_t>(esito.contati)].compare(0, resto.size(), resto), 0)
                << "the barcode being typed arrived mangled";
        }
    }

    prova::DatabaseProva db;
    ArchivioListe archivio;
    std::unique_ptr<platform::KeyboardTarget> tastiera = platform::createKeyboardTarget();
    prova::FakeMessaggi messaggi;
    std::unique_ptr<prova::TargetProgram> target, ladro;
    std::mt19937 random;
    unsigned m_seme = 0;
};

TEST_F(FocusThiefE2ETest, ThiefOfAListGetsOneCheckIntervalAtMostAndTheCountIsExact) {
    std::vector<std::string> barcode;
    std::vector<QString> righe;
    for (int i = 0; i < 3000; ++i) {
        barcode.push_back(std::to_string(100000 + i).insert(0, 1, 'L') + 'x');
        righe.push_back(QString::fromStdString(barcode.back()));
    }
    db.lista(7, QStringLiteral("Magazzino"), righe);

    for (int giro = 0; giro < 8; ++giro) {
        const int dopo = std::uniform_int_distribution<int>(1, 1000)(random);
        const Esito esito = inviaConFurto(7, dopo);
        SCOPED_TRACE("run " + std::to_string(giro) + ", thief called after barcode " + std::to_string(dopo));
        EXPECT_LE(tasti(esito.alLadro), kMaxKeysInFlight) << esito.alLadro;
        verificaBersaglio(esito, barcode);
        riporta(giro, dopo, esito);
    }
}

TEST_F(FocusThiefE2ETest, ThiefInsideALongBarcodeGetsOneCheckIntervalAtMost) {
    // Long enough that the thief comes in the middle of a barcode.
    std::vector<std::string> barcode;
    std::vector<QString> righe;
    for (int i = 0; i < 60; ++i) {
        std::string lungo;
        for (int j = 0; j < 300; ++j) lungo.push_back(static_cast<char>('a' + (i + j) % 26));
        barcode.push_back(lungo);
        righe.push_back(QString::fromStdString(lungo));
    }
    db.lista(8, QStringLiteral("Lunghi"), righe);

    for (int giro = 0; giro < 3; ++giro) {
        const int dopo = std::uniform_int_distribution<int>(1, 20)(random);
        const Esito esito = inviaConFurto(8, dopo);
        SCOPED_TRACE("run " + std::to_string(giro) + ", thief called after barcode " + std::to_string(dopo));
        EXPECT_LE(tasti(esito.alLadro), kMaxKeysInFlight) << esito.alLadro.substr(0, 200);
        verificaBersaglio(esito, barcode);
        riporta(giro, dopo, esito);
    }
}

TEST_F(FocusThiefE2ETest, FocusAwayAndBackCountsEveryBarcodeThatArrivedWhole) {
    std::vector<std::string> barcode;
    std::vector<QString> righe;
    for (int i = 0; i < 3000; ++i) {
        barcode.push_back(std::to_string(100000 + i) + "ab");
        righe.push_back(QString::fromStdString(barcode.back()));
    }
    db.lista(9, QStringLiteral("Andata e ritorno"), righe);
    // In the background, as another program would act, and waited for
    // before the markers: the focus must be back where it ends.
    const std::string fatto = m_folder.file(QStringLiteral("ritorno")).toStdString();
    const std::string andataERitorno = "(xdotool windowfocus " + std::to_string(ladro->window()) +
                                       " windowfocus " + std::to_string(target->window()) + "; touch " +
                                       fatto + ") >/dev/null 2>&1 &";
    const auto attendiRitorno = [&] {
        ASSERT_EQ(prova::run("timeout 10 sh -c 'until [ -e " + fatto + " ]; do sleep 0.02; done'"), 0);
        std::remove(fatto.c_str());
    };
    for (int giro = 0; giro < 6; ++giro) {
        const int dopo = std::uniform_int_distribution<int>(1, 1000)(random);
        const Esito esito = inviaConFurto(9, dopo, andataERitorno, attendiRitorno);
        SCOPED_TRACE("run " + std::to_string(giro) + ", focus away and back after barcode " +
                     std::to_string(dopo));
        EXPECT_LE(tasti(esito.alLadro), kMaxKeysInFlight) << esito.alLadro;
        verificaBersaglio(esito, barcode);
        riporta(giro, dopo, esito);
    }
}

// The operator's keys come from a keyboard of their own (the Xephyr display
// of with_display.sh --operator-keyboard), as a physical one would.
class OperatorKeysE2ETest : public FocusThiefE2ETest {
protected:
    void SetUp() override {
        if (!std::getenv("OPERATOR_DISPLAY")) GTEST_SKIP() << "needs with_display.sh --operator-keyboard";
        FocusThiefE2ETest::SetUp();
        for (int i = 0; i < 3000; ++i) {
            barcode.push_back(std::to_string(1633 + i) + "abc");
            righe.push_back(QString::fromStdString(barcode.back()));
        }
        db.lista(5, QStringLiteral("Operatore"), righe);
    }

    static std::string operatore(const std::string& xdotool) {
        return "DISPLAY=\"$OPERATOR_DISPLAY\" xdotool " + xdotool + " >/dev/null 2>&1";
    }
    // No key of ours is down once the send is over.
    static bool xtestTieneTasti() {
        return prova::run("xinput query-state 'Virtual core XTEST keyboard' | grep -q '=down'") == 0;
    }

    std::vector<std::string> barcode;
    std::vector<QString> righe;
};

TEST_F(OperatorKeysE2ETest, KeysPressedMidSendStopItBeforeTheBarcodesEnterAndLeaveNothingDown) {
    const struct {
        const char* comando;
        const char* tasto;
        bool bloccaMaiuscole;
    } casi[] = {{"key ctrl", "Control_L", false},
                {"key shift", "Shift_L", false},
                {"type --delay 20 xyz", "x", false},
                {"key Caps_Lock", "Caps_Lock", true}};
    for (const auto& caso : casi) {
        const int dopo = std::uniform_int_distribution<int>(20, 300)(random);
        SCOPED_TRACE(std::string(caso.comando) + " after barcode " + std::to_string(dopo));
        bool bloccate = false;
        const Esito esito = inviaConFurto(5, dopo, operatore(caso.comando), [&] {
            bloccate = probe().lockedModifiers() & kLockBit;
            // The operator's own Caps Lock stands; undone for the marker.
            if (bloccate) prova::run(operatore("key Caps_Lock"));
        });
        EXPECT_NE(esito.messaggio.find(std::string("premuto il tasto ") + caso.tasto), std::string::npos)
            << esito.messaggio;
        EXPECT_GE(esito.contati, dopo - 1);
        verificaBersaglio(esito, barcode, true);
        EXPECT_EQ(bloccate, caso.bloccaMaiuscole);
        EXPECT_EQ(probe().heldModifiers(), 0U);
        EXPECT_FALSE(xtestTieneTasti());
        std::printf("operator %s after barcode %d: count %d, message: %s\n", caso.comando, dopo,
                    esito.contati, esito.messaggio.c_str());
    }
}

TEST_F(OperatorKeysE2ETest, ModifierHeldAcrossTheEndOfTheSendIsUpOnceTheOperatorLetsGo) {
    bool tenuto = false;
    const Esito esito = inviaConFurto(5, 100, operatore("keydown ctrl"), [&] {
        tenuto = probe().heldModifiers() & kControlBit;
        EXPECT_FALSE(xtestTieneTasti());
        prova::run(operatore("keyup ctrl"));
    });
    EXPECT_NE(esito.messaggio.find("premuto il tasto Control_L"), std::string::npos) << esito.messaggio;
    verificaBersaglio(esito, barcode, true);
    EXPECT_TRUE(tenuto) << "the operator's own Ctrl did not show as held";
    EXPECT_EQ(probe().heldModifiers(), 0U);
    EXPECT_FALSE(xtestTieneTasti());
}

TEST_F(OperatorKeysE2ETest, KeyStillHeldWhenTheSendStartsStopsItWithNothingTyped) {
    target->clearLog();
    // Its repeats go to the other window, in front.
    bringToFront(ladro->window());
    ASSERT_EQ(prova::run(operatore("keydown a")), 0);
    // The Xephyr passes it on in its own time.
    const auto entro = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!probe().keyDown("a") && std::chrono::steady_clock::now() < entro)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(probe().keyDown("a")) << "the operator's key never went down";
    messaggi.svuota();
    prova::PausaConAzione pausa;
    InvioBarcode invio{db.configurazione, archivio, *tastiera, pausa, messaggi};
    invio.esegui(5);
    prova::run(operatore("keyup a"));
    ASSERT_EQ(messaggi.testi().size(), 1);
    EXPECT_TRUE(messaggi.testi()[0].startsWith(QStringLiteral("1013 Sulla tastiera sono premuti i tasti a:")))
        << messaggi.testi()[0].toStdString();
    EXPECT_EQ(finoAlSegno(*target), "");
    EXPECT_FALSE(xtestTieneTasti());
}

}  // namespace
}  // namespace tastalo
