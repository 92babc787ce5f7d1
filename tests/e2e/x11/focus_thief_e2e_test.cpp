// Another window takes the focus at a random moment of a send at Delay 0:
// it may receive the keys of one check interval at most, and the closing
// message counts exactly the barcodes the target received whole.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <cstdio>
#include <random>

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
    };

    // Sends list `id`; once barcode `dopoBarcode` is typed another client
    // activates the thief. Then finds out what each window received by
    // typing an end marker into it once the send is over.
    Esito inviaConFurto(int id, int dopoBarcode) {
        target->clearLog();
        ladro->clearLog();
        messaggi.svuota();
        prova::PausaConAzione pausa;
        // The focus itself first, as a program that takes it does, then the
        // window manager's activation; the manager alone can lag far behind
        // the keys of a fast send.
        const std::string finestra = std::to_string(ladro->window());
        const std::string furto =
            "xdotool windowfocus " + finestra + " windowactivate " + finestra + " >/dev/null 2>&1 &";
        pausa.m_azione = [&](int inviati) {
            if (inviati == dopoBarcode) prova::run(furto);
        };
        InvioBarcode invio{db.configurazione, archivio, *tastiera, pausa, messaggi};
        invio.esegui(id);

        Esito esito;
        EXPECT_EQ(messaggi.testi().size(), 1);
        const QString testo = messaggi.testi().value(0);
        const auto trovato =
            QRegularExpression(QStringLiteral("^Invio interrotto: .* Barcode inviati: (\\d+) di \\d+\\.$"))
                .match(testo);
        EXPECT_TRUE(trovato.hasMatch()) << "the send was not stopped: " << testo.toStdString();
        if (trovato.hasMatch()) esito.contati = trovato.captured(1).toInt();
        esito.alLadro = finoAlSegno(*ladro);
        esito.alBersaglio = finoAlSegno(*target);
        return esito;
    }

    std::string finoAlSegno(const prova::TargetProgram& finestra) {
        bringToFront(finestra.window());
        const std::optional<std::string> testo = logBeforeMarker(finestra);
        EXPECT_TRUE(testo) << "the end marker never arrived";
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
    // Enter, and at most a beginning of the next one after them.
    static void verificaBersaglio(const Esito& esito, const std::vector<std::string>& barcode) {
        ASSERT_GE(esito.contati, 0);
        std::string intere;
        for (int i = 0; i < esito.contati; ++i) intere += barcode[static_cast<std::size_t>(i)] + "\n";
        ASSERT_TRUE(esito.alBersaglio.compare(0, intere.size(), intere) == 0)
            << "the target lacks some of the " << esito.contati << " barcodes counted";
        const std::string resto = esito.alBersaglio.substr(intere.size());
        EXPECT_EQ(resto.find('\n'), std::string::npos)
            << "the target received more whole barcodes than counted: " << resto.substr(0, 100);
        if (static_cast<std::size_t>(esito.contati) < barcode.size()) {
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

}  // namespace
}  // namespace tastalo
