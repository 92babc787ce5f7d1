// Types the same 500 barcodes into a real target window three ways per run:
// through the program's send job (Ritardo 0), through the X11 backend alone,
// and with `xdotool type --delay 0`, and compares the rates. Then times sends
// of 40 barcodes with Ritardo 50 against their floor of (N + 1) x Ritardo.
// Run it on a private display: bench/typing/run.sh.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "barcode_mix.h"
#include "common/failure.h"
#include "log_comparison.h"
#include "main/pausa_invio.h"
#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "run_statistics.h"
#include "send_harness.h"
#include "typing_target.h"

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
    for (const auto& barcode : s.barcodes) {
        // The calls the send makes for each barcode, with nothing around them.
        if (!keyboard->targetHasFocus()) return failed("the target lost the focus");
        const platform::Status typed = keyboard->typeText(barcode);
        const platform::Status entered = typed.ok() ? keyboard->pressEnter() : typed;
        const platform::Status delivered = entered.ok() ? keyboard->confirmDelivery() : entered;
        if (!delivered.ok()) return failed(delivered.description);
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
    std::printf("\nTyping %d barcodes (%zu keystrokes) into the target window, %zu runs, medians:\n", kBarcodes,
                s.keys, rates.sendRatio.size());
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
    std::printf("  worst total:              %8.1f ms  (%+.2f%%)\n", worstMs, percentAbove(worstMs, kPacedFloorMs));
    std::printf("  shortest total:           %8.1f ms  (%+.2f%%)\n", shortestMs,
                percentAbove(shortestMs, kPacedFloorMs));
    std::printf("  median until the completion message: %.1f ms\n", median(paced.untilMessageMs));
    if (!paced.pausesAloneMs.empty()) {
        const double pausesMs = median(paced.pausesAloneMs);
        std::printf("  the %d pauses alone, median: %.1f ms (%.3f ms over per pause); the rest of the send: %.1f ms\n",
                    kPacedBarcodes + 1, pausesMs, (pausesMs - kPacedFloorMs) / (kPacedBarcodes + 1),
                    medianMs - pausesMs);
    }
    std::printf("  goal: never below the floor, at most %.0f%% above it; runs not received exactly: %d\n",
                kAllowedAbovePercent, paced.inexact);
    return paced.inexact == 0 && shortestMs >= kPacedFloorMs &&
           percentAbove(medianMs, kPacedFloorMs) <= kAllowedAbovePercent;
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
    } catch (const Failure& failure) {
        std::fprintf(stderr, "cannot prepare the list database: %d %s\n", failure.code(), failure.what());
        return 1;
    }
    if (!shared->target.started()) {
        std::fprintf(stderr, "the target program did not show its window\n");
        return 1;
    }
    setup = shared.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const bool met = printSummary(*shared);
    setup = nullptr;
    return met ? 0 : 2;
}
