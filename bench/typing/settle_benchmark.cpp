// How long a target needs before the spare keycodes change again or go
// back, when it answers no ping. Each target (an xterm, the GTK and the Qt
// target) is typed into through the send at Ritardo 0 as if it answered
// none (--no-ping), with the pauses given: per run, 200 barcodes with
// characters off the keymap (one binding, given back at the end) and 300
// distinct CJK characters (a new binding every few barcodes, each after a
// pause). A pause holds for a target when every run came through exactly
// and the keymap was given back. Without --no-ping the targets that answer
// pings are waited for instead. Then, per target, how long after the server
// has routed the last key of 500 ASCII barcodes the target had read them
// all. Run it through bench/typing/run_settle.sh; LibreOffice Calc through
// run_calc.sh, which takes the same options.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "barcode_mix.h"
#include "busy_load.h"
#include "core/fallimento.h"
#include "log_comparison.h"
#include "platform/title_match.h"
#include "run_statistics.h"
#include "send/pausa_invio.h"
#include "send_harness.h"
#include "settle_keyboard.h"
#include "settle_options.h"
#include "typing_target.h"
#include "x11_probe.h"

namespace {

using namespace tastalo;
using namespace tastalo::bench;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kOffKeymapList = 1, kDistinctList = 2;

struct Target {
    const char* name;
    TypingTarget::Kind kind;
    const char* program;
    const char* title;
};

const Target kTargets[] = {{"xterm", TypingTarget::Kind::Xterm, "", "Terminale"},
                           {"gtk", TypingTarget::Kind::Gtk, GTK_TARGET_PATH, "Gtkvedo"},
                           {"qt", TypingTarget::Kind::Korvedo, KORVEDO_TARGET_PATH, "Korvedo"}};

// One list sent once: whether it came through exactly and the keymap went back.
bool sentExactly(TypingTarget& target, SendHarness& harness, prova::X11Probe& probe,
                 const std::vector<unsigned long>& keymap, std::int32_t list,
                 const std::vector<std::u32string>& barcodes, const char* name) {
    if (!target.reset()) {
        std::fprintf(stderr, "%s: the target could not be brought to the front\n", name);
        return false;
    }
    const auto start = Clock::now();
    const SendHarness::Outcome sent = harness.send(list, 0);
    if (!sent.completed) {
        std::fprintf(stderr, "%s: %s\n", name, qPrintable(sent.messages.join(" | ")));
        return false;
    }
    const std::string problem =
        firstDifference(target.awaitLines(barcodes.size(), start).log, expectedLog(barcodes));
    if (!problem.empty()) std::fprintf(stderr, "%s: %s\n", name, problem.c_str());
    const bool givenBack = probe.keyboardMapping() == keymap;
    if (!givenBack) std::fprintf(stderr, "%s: the keymap was not given back\n", name);
    return problem.empty() && givenBack;
}

// Milliseconds from the server's answer after the last Enter to the last
// line in the target's log: how far behind the server the target reads.
double readingLag(TypingTarget& target, const std::vector<std::u32string>& barcodes) {
    if (!target.reset()) return -1;
    auto keyboard = platform::createKeyboardTarget();
    if (!keyboard->activate(platform::fromUtf8(target.title())).ok()) return -1;
    for (const auto& barcode : barcodes) {
        if (!keyboard->typeText(barcode).ok() || !keyboard->pressEnter().ok()) return -1;
    }
    if (!keyboard->confirmDelivery().ok()) return -1;
    const auto routed = Clock::now();
    const auto received = target.awaitLines(barcodes.size(), routed);
    keyboard->finish();
    if (!firstDifference(received.log, expectedLog(barcodes)).empty()) return -1;
    return std::chrono::duration<double, std::milli>(received.sinceStart).count();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::optional<SettleOptions> options = parseSettleOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "%s\n", kSettleUsage);
        return 1;
    }
    const std::vector<std::u32string> offKeymap = offKeymapBarcodes(200),
                                      distinct = manyDistinctBarcodes(300), ascii = mixedBarcodes(500);
    prova::X11Probe probe;
    const std::vector<unsigned long> keymap = probe.keyboardMapping();
    BusyLoad load(options->busy);
    std::printf("Settling keymap changes: %d runs a setting, %s, %d busy processes beside\n", options->runs,
                options->ping ? "pings waited for where answered" : "every target taken as answering no ping",
                options->busy);
    std::fflush(stdout);
    // All started before the first send: every keymap change makes the
    // window manager reload its key bindings, and it may be seconds behind
    // after a few hundred, too late to take a new window.
    std::vector<std::unique_ptr<TypingTarget>> targets;
    for (const Target& kind : kTargets) {
        targets.push_back(options->wants(kind.name)
                              ? std::make_unique<TypingTarget>(kind.program, kind.title, kind.kind)
                              : nullptr);
    }
    bool allHeld = true;
    for (std::size_t t = 0; t < targets.size(); ++t) {
        const Target& kind = kTargets[t];
        if (!targets[t]) continue;
        TypingTarget& target = *targets[t];
        if (!target.started()) {
            std::printf("  %-6s did not start\n", kind.name);
            allHeld = false;
            continue;
        }
        for (const SettleOptions::Setting& setting : options->settings()) {
            const std::unique_ptr<platform::KeyboardTarget> keyboard = settleKeyboard(setting, options->ping);
            PausaInvioQt pause;
            SendHarness harness(*keyboard, pause, QString::fromUtf8(kind.title));
            harness.addList(kOffKeymapList, offKeymap);
            harness.addList(kDistinctList, distinct);
            int exactOffKeymap = 0, exactDistinct = 0;
            std::vector<double> seconds;
            for (int run = 0; run < options->runs; ++run) {
                const auto start = Clock::now();
                exactOffKeymap +=
                    sentExactly(target, harness, probe, keymap, kOffKeymapList, offKeymap, kind.name);
                exactDistinct +=
                    sentExactly(target, harness, probe, keymap, kDistinctList, distinct, kind.name);
                seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            }
            const bool held = exactOffKeymap == options->runs && exactDistinct == options->runs;
            allHeld = allHeld && held;
            std::printf(
                "  %-6s pause %3lld ms: exact off the keymap %d of %d, CJK %d of %d%s (a run %.2f s)\n",
                kind.name, static_cast<long long>(settlePause(setting).count()), exactOffKeymap,
                options->runs, exactDistinct, options->runs, held ? "" : "  NOT EXACT", median(seconds));
            std::fflush(stdout);
        }
        std::vector<double> lags;
        for (int run = 0; run < options->lagRuns; ++run) {
            const double lag = readingLag(target, ascii);
            if (lag >= 0) lags.push_back(lag);
        }
        if (!lags.empty())
            std::printf(
                "  %-6s read the last of 500 ASCII barcodes %.1f ms (median; longest %.1f) after the "
                "server routed it, %zu runs\n",
                kind.name, median(lags), largest(lags), lags.size());
    }
    std::printf("\nEvery setting exact on every target: %s\n", allHeld ? "yes" : "NO");
    return allHeld ? 0 : 2;
}
