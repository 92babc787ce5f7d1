// LibreOffice Calc as a target, the way an operator's spreadsheet takes the
// barcodes: through the program's send at Ritardo 0, into a column formatted
// as text, with AutoInput and AutoCorrect off. Each run types 300 ASCII
// barcodes with doubled and tripled characters and 100 with characters the
// keymap lacks into fresh columns; the sheet is saved and read back from the
// file. Needs libreoffice-calc (not installed by the project's scripts):
// run it through bench/typing/run_calc.sh. After the number of runs it
// takes the options of the settle measurements (settle_options.h): each
// setting is typed the given number of runs, into columns of its own.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "barcode_mix.h"
#include "busy_load.h"
#include "calc_sheet.h"
#include "core/fallimento.h"
#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "run_statistics.h"
#include "send/pausa_invio.h"
#include "send_harness.h"
#include "settle_keyboard.h"
#include "settle_options.h"
#include "target_program.h"
#include "x11_probe.h"

namespace {

using namespace tastalo;
using namespace tastalo::bench;
using Clock = std::chrono::steady_clock;

const QString kTitle = QStringLiteral("barcode.fods - LibreOffice Calc");

struct List {
    const char* name;
    std::int32_t id;
    std::vector<std::u32string> barcodes;
};

// The sends of one list with one setting.
struct Tally {
    std::vector<double> rates;
    int exact = 0, runs = 0, lostOrWrong = 0;
};

bool waitUntil(const std::function<bool()>& done, std::chrono::seconds patience) {
    const auto deadline = Clock::now() + patience;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// Keys for Calc itself (moving to a cell, saving), sent to it once it is in front.
bool keysToCalc(const std::function<void()>& keys) {
    auto keyboard = platform::createKeyboardTarget();
    if (!keyboard->activate(kTitle.toStdU32String()).ok()) return false;
    keys();
    keyboard->finish();
    return true;
}

QString readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// Characters that did not arrive as sent, counted row by row.
int differences(const QStringList& received, const std::vector<std::u32string>& sent) {
    int wrong = 0;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const QString expected = QString::fromStdU32String(sent[i]);
        const QString got =
            i < static_cast<std::size_t>(received.size()) ? received[static_cast<int>(i)] : QString();
        if (got != expected)
            wrong += std::max<int>(1, static_cast<int>(std::abs(expected.size() - got.size())));
    }
    return wrong + std::max(0, static_cast<int>(received.size()) - static_cast<int>(sent.size()));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool runsGiven = argc > 1 && std::atoi(argv[1]) > 0;
    const int runs = runsGiven ? std::atoi(argv[1]) : 3;
    const std::optional<SettleOptions> options = parseSettleOptions(argc, argv, runsGiven ? 2 : 1);
    if (!options) {
        std::fprintf(stderr, "usage: bench_typing_calc [RUNS] [options]; %s\n", kSettleUsage);
        return 1;
    }
    const std::vector<SettleOptions::Setting> settings = options->settings();
    QTemporaryDir folder;
    const QString sheet = folder.filePath(QStringLiteral("barcode.fods"));
    QDir().mkpath(folder.filePath(QStringLiteral("profilo/user")));
    {
        QFile settings(folder.filePath(QStringLiteral("profilo/user/registrymodifications.xcu")));
        QFile file(sheet);
        if (!settings.open(QIODevice::WriteOnly) || !file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write the profile or the sheet in %s\n", qPrintable(folder.path()));
            return 1;
        }
        settings.write(profileSettings().toUtf8());
        file.write(emptyTextSheet().toUtf8());
    }

    prova::X11Probe probe;
    const std::vector<unsigned long> keymap = probe.keyboardMapping();
    // Calc's own X11 backend, the one it uses where no desktop's toolkit is installed.
    prova::TargetProgram calc(
        probe,
        {"env", "SAL_USE_VCLPLUGIN=gen", "soffice", "--calc", "--norestore", "--nologo",
         "-env:UserInstallation=" +
             QUrl::fromLocalFile(folder.filePath(QStringLiteral("profilo"))).toString().toStdString(),
         sheet.toStdString()},
        kTitle.toStdString(), "/dev/null", std::string());
    if (!waitUntil([&] { return probe.windowTitled(kTitle.toStdString()) != 0; },
                   std::chrono::seconds(120))) {
        std::fprintf(stderr, "Calc did not show \"%s\" within 2 minutes\n", qPrintable(kTitle));
        return 1;
    }

    PausaInvioQt pause;
    std::vector<List> lists;
    lists.push_back({"300 ASCII, doubled and tripled characters", 1, repeatedCharacterBarcodes(300)});
    lists.push_back({"100 with characters off the keymap", 2, offKeymapBarcodes(100)});
    BusyLoad load(options->busy);

    // Every run into columns of its own; one save at the end, as Calc
    // drops keys that come while it saves.
    struct Sent {
        Tally* tally;
        const List* list;
        int column;
        bool completed;
    };
    std::vector<Sent> sends;
    std::vector<std::vector<Tally>> tallies(settings.size(), std::vector<Tally>(lists.size()));
    bool keymapKept = true;
    std::size_t allKeys = 0;
    const auto firstSend = Clock::now();
    for (std::size_t s = 0; s < settings.size(); ++s) {
        const std::unique_ptr<platform::KeyboardTarget> keyboard = settleKeyboard(settings[s], options->ping);
        std::unique_ptr<SendHarness> harness;
        try {
            harness = std::make_unique<SendHarness>(*keyboard, pause, kTitle);
            for (const List& list : lists) harness->addList(list.id, list.barcodes);
        } catch (const Fallimento& failure) {
            std::fprintf(stderr, "cannot prepare the list database: %d %s\n", failure.codice(),
                         failure.what());
            return 1;
        }
        for (int run = 0; run < runs; ++run) {
            for (std::size_t l = 0; l < lists.size(); ++l) {
                const List& list = lists[l];
                Tally& tally = tallies[s][l];
                const int column = static_cast<int>(sends.size());
                const bool moved = keysToCalc([&] {
                    probe.press("Control_L");
                    probe.tap("Home");
                    probe.release("Control_L");
                    for (int i = 0; i < column; ++i) probe.tap("Right");
                });
                const auto start = Clock::now();
                const SendHarness::Outcome sent = harness->send(list.id, 0);
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                tally.rates.push_back(static_cast<double>(keystrokes(list.barcodes)) / seconds);
                if (!sent.completed)
                    std::fprintf(stderr, "%s: %s\n", list.name, qPrintable(sent.messages.join(" | ")));
                keymapKept = keymapKept && probe.keyboardMapping() == keymap;
                sends.push_back({&tally, &list, column, moved && sent.completed});
                allKeys += keystrokes(list.barcodes);
            }
        }
    }
    const QDateTime before = QFileInfo(sheet).lastModified();
    const bool saved = keysToCalc([&] {
        probe.press("Control_L");
        probe.tap("s");
        probe.release("Control_L");
    });
    // Calc saves once it has handled every key before Ctrl+S.
    QString content;
    waitUntil(
        [&] {
            if (QFileInfo(sheet).lastModified() == before) return false;
            content = readFile(sheet);
            const Sent& last = sends.back();
            return columnOf(content, last.column).size() >= static_cast<int>(last.list->barcodes.size());
        },
        std::chrono::seconds(300));
    const double calcSeconds = std::chrono::duration<double>(Clock::now() - firstSend).count();
    for (const Sent& send : sends) {
        const List& list = *send.list;
        Tally& tally = *send.tally;
        const QStringList received = columnOf(content, send.column);
        const int wrong = differences(received, list.barcodes);
        ++tally.runs;
        tally.exact += saved && send.completed && wrong == 0 ? 1 : 0;
        tally.lostOrWrong += wrong;
        for (std::size_t i = 0; wrong != 0 && i < list.barcodes.size(); ++i) {
            const QString expected = QString::fromStdU32String(list.barcodes[i]);
            const QString got =
                i < static_cast<std::size_t>(received.size()) ? received[static_cast<int>(i)] : QString();
            if (got == expected) continue;
            std::fprintf(stderr, "%s, column %d, row %zu: expected \"%s\", found \"%s\"\n", list.name,
                         send.column + 1, i + 1, qPrintable(expected), qPrintable(got));
            break;
        }
    }
    keysToCalc([&] {
        probe.press("Control_L");
        probe.tap("q");
        probe.release("Control_L");
    });

    std::printf("\nLibreOffice Calc, through the send at Ritardo 0, %d runs%s:\n", runs,
                options->ping ? "" : ", taken as a target that answers no ping");
    bool met = keymapKept;
    for (std::size_t s = 0; s < settings.size(); ++s) {
        std::printf("  pause %lld ms:\n", static_cast<long long>(settlePause(settings[s]).count()));
        for (std::size_t l = 0; l < lists.size(); ++l) {
            const Tally& tally = tallies[s][l];
            std::printf(
                "    %-44s exact %d of %d, characters lost or wrong %d, sent at %.0f characters/s (median)\n",
                lists[l].name, tally.exact, tally.runs, tally.lostOrWrong, median(tally.rates));
            met = met && tally.exact == tally.runs;
        }
    }
    std::printf(
        "  (while it borrows keycodes the send keeps pace with Calc's reading, after an ASCII list too)\n");
    std::printf("  Calc had every key (%zu) in its sheet %.1f s after the first send began: %.0f keys/s\n",
                allKeys, calcSeconds, static_cast<double>(allKeys) / calcSeconds);
    std::printf("  keymap as before after every send: %s\n", keymapKept ? "yes" : "NO");
    std::printf("\nGoal (every barcode exact, keymap given back): %s\n", met ? "met" : "NOT met");
    return met ? 0 : 2;
}
