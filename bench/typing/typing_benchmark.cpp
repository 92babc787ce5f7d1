// Types the same 500 barcodes into a real target window three ways per run:
// through the program's send job (Ritardo 0), through the X11 backend alone,
// and with `xdotool type --delay 0`, and compares the rates. Then times sends
// of 40 barcodes with Ritardo 50 against their floor of (N + 1) x Ritardo.
// Then, through the send at Ritardo 0, into the Qt target and into an xterm
// (which answers no ping): 500 ASCII barcodes, 200 with characters the
// keymap lacks, and 300 distinct CJK characters, the keymap checked after
// each. Run it on a private display: bench/typing/run.sh.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "barcode_mix.h"
#include "core/fallimento.h"
#include "log_comparison.h"
#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "run_statistics.h"
#include "send/pausa_invio.h"
#include "send_harness.h"
#include "target_program.h"
#include "typing_target.h"
#include "x11_probe.h"

namespace {

using namespace tastalo;
using namespace tastalo::bench;
using Clock = std::chrono::steady_clock;

constexpr int kBarcodes = 500;
constexpr std::int32_t kFastList = 1;

constexpr int kPacedBarcodes = 40;
constexpr std::int32_t kPacedList = 2;
constexpr std::int32_t kRitardo = 50;
constexpr double kPacedFloorMs = (kPacedBarcodes + 1) * kRitardo;
constexpr double kAllowedAbovePercent = 3;
constexpr double kRateGoal = 5;

const char* const kTitle = "Korvedo";

std::vector<std::u32string> firstOf(const std::vector<std::u32string>& all, int count) {
    return {all.begin(), all.begin() + count};
}

// Everything the runs share, made once on the display.
struct Setup {
    TypingTarget target{KORVEDO_TARGET_PATH, kTitle};
    std::vector<std::u32string> barcodes = mixedBarcodes(kBarcodes);
    std::string expected = expectedLog(barcodes);
    std::size_t keys = keystrokes(barcodes);
    std::vector<std::u32string> paced = firstOf(barcodes, kPacedBarcodes);
    std::string pacedExpected = expectedLog(paced);
    std::unique_ptr<platform::KeyboardTarget> keyboard = platform::createKeyboardTarget();
    PausaInvioQt pause;
    SendHarness harness{*keyboard, pause, QString::fromUtf8(kTitle)};

    Setup() {
        harness.addList(kFastList, barcodes);
        harness.addList(kPacedList, paced);
    }
};

Setup* setup = nullptr;

struct TypingRun {
    double seconds = 0;  // until the target had logged every barcode
    bool exact = false;
    std::string problem;  // why the run does not count, when it does not
};

TypingRun checked(const TypingTarget::Received& received, const std::string& expected) {
    TypingRun run;
    run.seconds = received.sinceStart.count();
    run.problem = firstDifference(received.log, expected);
    run.exact = run.problem.empty();
    return run;
}

TypingRun failed(std::string problem) {
    TypingRun run;
    run.problem = std::move(problem);
    return run;
}

TypingRun typeWithBackend(Setup& s) {
    if (!s.target.reset()) return failed("the target could not be brought to the front");
    auto keyboard = platform::createKeyboardTarget();
    const auto start = Clock::now();
    if (!keyboard->activate(platform::fromUtf8(kTitle)).ok()) return failed("activation failed");
    for (std::size_t i = 0; i < s.barcodes.size(); ++i) {
        // The calls the send makes for each barcode, with nothing around them.
        if (!keyboard->targetHasFocus()) return failed("the target lost the focus");
        const platform::Status typed = keyboard->typeText(s.barcodes[i]);
        const platform::Status entered = typed.ok() ? keyboard->pressEnter() : typed;
        const bool last = i + 1 == s.barcodes.size();
        const platform::Status delivered = !entered.ok() ? entered
                                           : last        ? keyboard->confirmDelivery()
                                                         : keyboard->requestDelivery();
        if (!delivered.ok()) return failed("keyboard failure " + std::to_string(delivered.code));
    }
    keyboard->finish();
    return checked(s.target.awaitLines(s.barcodes.size(), start), s.expected);
}

TypingRun typeThroughSend(Setup& s, std::int32_t list, const std::vector<std::u32string>& barcodes,
                          const std::string& expected, std::int32_t ritardo,
                          SendHarness::Outcome* outcome = nullptr) {
    if (!s.target.reset()) return failed("the target could not be brought to the front");
    const auto start = Clock::now();
    const SendHarness::Outcome sent = s.harness.send(list, ritardo);
    if (outcome) *outcome = sent;
    if (!sent.completed) return failed("the send ended with: " + sent.messages.join(" | ").toStdString());
    return checked(s.target.awaitLines(barcodes.size(), start), expected);
}

TypingRun typeWithXdotool(Setup& s) {
    if (!s.target.reset()) return failed("the target could not be brought to the front");
    const auto start = Clock::now();
    int pid = -1;
    if (!startXdotool(s.expected, pid)) return failed("xdotool could not be started");
    TypingRun run = checked(s.target.awaitLines(s.barcodes.size(), start), s.expected);
    waitXdotool(pid);
    return run;
}

// Off the keymap: each target with its own send, the three lists, and the
// figures of every run.
constexpr std::int32_t kAsciiList = 11, kOffKeymapList = 12, kDistinctList = 13;
constexpr int kOffKeymapBarcodes = 200, kDistinctCharacters = 300;
constexpr double kOffKeymapRateGoal = 0.5;

struct OffKeymapTarget {
    OffKeymapTarget(const char* n, TypingTarget* t, SendHarness* h) : name(n), target(t), harness(h) {}
    const char* name;
    TypingTarget* target;
    SendHarness* harness;
    std::vector<double> ascii, offKeymap, distinct, ratio, offKeymapChanges, distinctChanges;
    int inexact = 0, keymapChanged = 0;
};

struct OffKeymapSetup {
    std::vector<std::u32string> ascii = mixedBarcodes(kBarcodes),
                                offKeymap = offKeymapBarcodes(kOffKeymapBarcodes),
                                distinct = manyDistinctBarcodes(kDistinctCharacters);
    prova::X11Probe probe;
    std::vector<unsigned long> keymap = probe.keyboardMapping();
    std::unique_ptr<TypingTarget> xterm;
    std::unique_ptr<platform::KeyboardTarget> xtermKeyboard = platform::createKeyboardTarget();
    PausaInvioQt xtermPause;
    std::unique_ptr<SendHarness> xtermHarness;
    std::vector<OffKeymapTarget> targets;

    explicit OffKeymapSetup(Setup& s) {
        for (SendHarness* harness : {&s.harness}) addLists(*harness);
        targets.emplace_back("Qt target", &s.target, &s.harness);
        if (prova::run("command -v xterm >/dev/null") != 0) return;
        xterm = std::make_unique<TypingTarget>("", "Terminale", TypingTarget::Kind::Xterm);
        if (!xterm->started()) return;
        xtermHarness = std::make_unique<SendHarness>(*xtermKeyboard, xtermPause, QStringLiteral("Terminale"));
        addLists(*xtermHarness);
        targets.emplace_back("xterm", xterm.get(), xtermHarness.get());
    }

    void addLists(SendHarness& harness) {
        harness.addList(kAsciiList, ascii);
        harness.addList(kOffKeymapList, offKeymap);
        harness.addList(kDistinctList, distinct);
    }
};

OffKeymapSetup* offKeymap = nullptr;

struct RateFigures {
    std::vector<double> send, backend, xdotool, sendRatio, backendRatio;
    int inexactSend = 0, inexactBackend = 0, inexactXdotool = 0;
} rates;

struct PacedFigures {
    std::vector<double> totalMs, untilMessageMs, pausesAloneMs;
    int inexact = 0;
} paced;

void report(const char* who, const TypingRun& run) {
    if (!run.exact) std::fprintf(stderr, "%s: %s\n", who, run.problem.c_str());
}

double rate(std::size_t keys, const TypingRun& run) {
    return run.seconds > 0 ? static_cast<double>(keys) / run.seconds : 0;
}

// Registered first: a fast send into the Qt target leaves openbox seconds
// behind (it reads back the user time Qt renews at every key), and the
// xterm cannot be activated before it catches up.
void OffKeymapAgainstAscii(benchmark::State& state) {
    OffKeymapSetup& o = *offKeymap;
    for (auto _ : state) {
        double total = 0;
        for (OffKeymapTarget& t : o.targets) {
            const auto sendList = [&](std::int32_t list, const std::vector<std::u32string>& barcodes) {
                TypingRun run;
                if (!t.target->reset()) {
                    run = failed("the target could not be brought to the front");
                } else {
                    o.probe.keymapChanges();
                    const auto start = Clock::now();
                    const SendHarness::Outcome sent = t.harness->send(list, 0);
                    const int changes = o.probe.keymapChanges();
                    if (list == kOffKeymapList) t.offKeymapChanges.push_back(changes);
                    if (list == kDistinctList) t.distinctChanges.push_back(changes);
                    run = sent.completed
                              ? checked(t.target->awaitLines(barcodes.size(), start), expectedLog(barcodes))
                              : failed("the send ended with: " + sent.messages.join(" | ").toStdString());
                }
                if (o.probe.keyboardMapping() != o.keymap) {
                    ++t.keymapChanged;
                    run.exact = false;
                    run.problem += " the keymap was not given back";
                }
                report(t.name, run);
                t.inexact += run.exact ? 0 : 1;
                total += run.seconds;
                return run;
            };
            const double ascii = rate(keystrokes(o.ascii), sendList(kAsciiList, o.ascii));
            const double mixed = rate(keystrokes(o.offKeymap), sendList(kOffKeymapList, o.offKeymap));
            const double distinct = rate(keystrokes(o.distinct), sendList(kDistinctList, o.distinct));
            t.ascii.push_back(ascii);
            t.offKeymap.push_back(mixed);
            t.distinct.push_back(distinct);
            t.ratio.push_back(ascii > 0 ? mixed / ascii : 0);
            state.counters[std::string(t.name) + " ratio"] = t.ratio.back();
        }
        state.SetIterationTime(total > 0 ? total : 1e-9);
    }
}
BENCHMARK(OffKeymapAgainstAscii)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void TypingComparedWithXdotool(benchmark::State& state) {
    Setup& s = *setup;
    for (auto _ : state) {
        const TypingRun send = typeThroughSend(s, kFastList, s.barcodes, s.expected, 0);
        const TypingRun backend = typeWithBackend(s);
        const TypingRun xdotool = typeWithXdotool(s);
        report("send", send);
        report("backend", backend);
        report("xdotool", xdotool);
        state.SetIterationTime(send.seconds > 0 ? send.seconds : 1e-9);

        const double sendRate = rate(s.keys, send), backendRate = rate(s.keys, backend),
                     xdotoolRate = rate(s.keys, xdotool);
        rates.send.push_back(sendRate);
        rates.backend.push_back(backendRate);
        rates.xdotool.push_back(xdotoolRate);
        rates.sendRatio.push_back(xdotoolRate > 0 ? sendRate / xdotoolRate : 0);
        rates.backendRatio.push_back(xdotoolRate > 0 ? backendRate / xdotoolRate : 0);
        rates.inexactSend += send.exact ? 0 : 1;
        rates.inexactBackend += backend.exact ? 0 : 1;
        rates.inexactXdotool += xdotool.exact ? 0 : 1;

        state.counters["send_chars_per_s"] = sendRate;
        state.counters["backend_chars_per_s"] = backendRate;
        state.counters["xdotool_chars_per_s"] = xdotoolRate;
        state.counters["send_ratio"] = rates.sendRatio.back();
        state.counters["send_exact"] = send.exact;
        state.counters["xdotool_exact"] = xdotool.exact;
    }
}
BENCHMARK(TypingComparedWithXdotool)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void SendWithRitardo50(benchmark::State& state) {
    Setup& s = *setup;
    for (auto _ : state) {
        SendHarness::Outcome outcome;
        const TypingRun run = typeThroughSend(s, kPacedList, s.paced, s.pacedExpected, kRitardo, &outcome);
        report("paced send", run);
        const double totalMs = outcome.elapsed.count();
        state.SetIterationTime(totalMs / 1000 > 0 ? totalMs / 1000 : 1e-9);
        paced.totalMs.push_back(totalMs);
        paced.untilMessageMs.push_back(outcome.untilMessage.count());
        paced.inexact += run.exact ? 0 : 1;
        state.counters["total_ms"] = totalMs;
        state.counters["floor_ms"] = kPacedFloorMs;
        state.counters["above_floor_pct"] = percentAbove(totalMs, kPacedFloorMs);
    }
}
BENCHMARK(SendWithRitardo50)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same N + 1 pauses with nothing typed between them: what the timers
// alone add to the floor, to tell it apart from the cost of the typing.
void PausesOfRitardo50Alone(benchmark::State& state) {
    PausaInvioQt pause;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i <= kPacedBarcodes; ++i) pause.attendi(kRitardo);
        const double totalMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        state.SetIterationTime(totalMs / 1000);
        paced.pausesAloneMs.push_back(totalMs);
        state.counters["total_ms"] = totalMs;
        state.counters["above_floor_pct"] = percentAbove(totalMs, kPacedFloorMs);
    }
}
BENCHMARK(PausesOfRitardo50Alone)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Each prints its figures and tells whether its goal is met.
bool printRates(const Setup& s) {
    const double sendRatio = median(rates.sendRatio);
    std::printf("\nTyping %d barcodes (%zu keystrokes) into the target window, %zu runs, medians:\n",
                kBarcodes, s.keys, rates.sendRatio.size());
    std::printf("  through the send, Ritardo 0:  %8.0f characters/s\n", median(rates.send));
    std::printf("  X11 backend alone:            %8.0f characters/s\n", median(rates.backend));
    std::printf("  xdotool type --delay 0:       %8.0f characters/s\n", median(rates.xdotool));
    std::printf("  send / xdotool:               %8.2f (goal: at least %.0f; lowest run %.2f)\n", sendRatio,
                kRateGoal, smallest(rates.sendRatio));
    std::printf("  backend / xdotool:            %8.2f\n", median(rates.backendRatio));
    std::printf("  runs with a character lost, added or reordered: send %d, backend %d, xdotool %d\n",
                rates.inexactSend, rates.inexactBackend, rates.inexactXdotool);
    return rates.inexactSend == 0 && sendRatio >= kRateGoal;
}

bool printPaced() {
    const double medianMs = median(paced.totalMs), worstMs = largest(paced.totalMs);
    const double shortestMs = smallest(paced.totalMs);
    std::printf("\nSend of %d barcodes with Ritardo %d, %zu runs (from the send's start to its return):\n",
                kPacedBarcodes, kRitardo, paced.totalMs.size());
    std::printf("  floor (N + 1) x Ritardo:  %8.1f ms\n", kPacedFloorMs);
    std::printf("  median total:             %8.1f ms  (%+.2f%% above the floor)\n", medianMs,
                percentAbove(medianMs, kPacedFloorMs));
    std::printf("  worst total:              %8.1f ms  (%+.2f%%)\n", worstMs,
                percentAbove(worstMs, kPacedFloorMs));
    std::printf("  shortest total:           %8.1f ms  (%+.2f%%)\n", shortestMs,
                percentAbove(shortestMs, kPacedFloorMs));
    std::printf("  median until the completion message: %.1f ms\n", median(paced.untilMessageMs));
    if (!paced.pausesAloneMs.empty()) {
        const double pausesMs = median(paced.pausesAloneMs);
        std::printf(
            "  the %d pauses alone, median: %.1f ms (%.3f ms over per pause); the rest of the send: %.1f "
            "ms\n",
            kPacedBarcodes + 1, pausesMs, (pausesMs - kPacedFloorMs) / (kPacedBarcodes + 1),
            medianMs - pausesMs);
    }
    std::printf("  goal: never below the floor, at most %.0f%% above it; runs not received exactly: %d\n",
                kAllowedAbovePercent, paced.inexact);
    return paced.inexact == 0 && shortestMs >= kPacedFloorMs &&
           percentAbove(medianMs, kPacedFloorMs) <= kAllowedAbovePercent;
}

bool printOffKeymap() {
    const OffKeymapSetup& o = *offKeymap;
    std::printf(
        "\nThrough the send at Ritardo 0: %d ASCII barcodes (%zu keys), %d with characters off the keymap "
        "(%zu keys), %d distinct CJK characters in %zu barcodes (%zu keys); medians:\n",
        kBarcodes, keystrokes(o.ascii), kOffKeymapBarcodes, keystrokes(o.offKeymap), kDistinctCharacters,
        o.distinct.size(), keystrokes(o.distinct));
    bool met = true;
    for (const OffKeymapTarget& t : o.targets) {
        const double ratio = median(t.ratio);
        std::printf(
            "  %-10s ASCII %8.0f characters/s, off the keymap %8.0f (ratio %.2f, lowest %.2f; goal at least "
            "%.1f), CJK %8.0f\n",
            t.name, median(t.ascii), median(t.offKeymap), ratio, smallest(t.ratio), kOffKeymapRateGoal,
            median(t.distinct));
        std::printf(
            "  %-10s runs: %zu; sends not received exactly: %d; keymap not given back: %d; keymap changes "
            "a send (binding and giving back): off the keymap %.0f, CJK %.0f\n",
            t.name, t.ratio.size(), t.inexact, t.keymapChanged, median(t.offKeymapChanges),
            median(t.distinctChanges));
        met = met && t.inexact == 0 && ratio >= kOffKeymapRateGoal;
    }
    if (o.targets.size() < 2) {
        std::printf("  xterm: not run (apt-get install xterm)\n");
        met = false;
    }
    return met;
}

// True when every figure that ran meets its goal, and at least one ran.
bool printSummary(const Setup& s) {
    std::string verdict;
    bool met = true;
    if (!rates.sendRatio.empty()) {
        const bool ratesMet = printRates(s);
        verdict += std::string(" typing rate ") + (ratesMet ? "met" : "NOT met") + ";";
        met = met && ratesMet;
    }
    if (offKeymap && !offKeymap->targets.empty() && !offKeymap->targets[0].ratio.empty()) {
        const bool offKeymapMet = printOffKeymap();
        verdict += std::string(" off the keymap ") + (offKeymapMet ? "met" : "NOT met") + ";";
        met = met && offKeymapMet;
    }
    if (!paced.totalMs.empty()) {
        const bool pacedMet = printPaced();
        verdict += std::string(" paced send ") + (pacedMet ? "met" : "NOT met") + ";";
        met = met && pacedMet;
    }
    if (verdict.empty()) return false;
    verdict.pop_back();
    std::printf("\nGoals:%s\n", verdict.c_str());
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    // The send's pauses run a Qt event loop; no window is shown here.
    QCoreApplication app(argc, argv);

    // Five runs of each figure unless the command line asks otherwise.
    std::vector<char*> arguments = {argv[0], const_cast<char*>("--benchmark_repetitions=5")};
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;

    std::unique_ptr<Setup> shared;
    try {
        shared = std::make_unique<Setup>();
    } catch (const Fallimento& failure) {
        std::fprintf(stderr, "cannot prepare the list database: %d %s\n", failure.codice(), failure.what());
        return 1;
    }
    if (!shared->target.started()) {
        std::fprintf(stderr, "the target program did not show its window\n");
        return 1;
    }
    setup = shared.get();
    OffKeymapSetup offKeymapSetup(*shared);
    offKeymap = &offKeymapSetup;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const bool met = printSummary(*shared);
    offKeymap = nullptr;
    setup = nullptr;
    return met ? 0 : 2;
}
