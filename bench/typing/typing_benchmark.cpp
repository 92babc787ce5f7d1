// Types the same 500 barcodes into a real target window twice per run, once
// through the X11 backend as a send with no pause would, once with
// `xdotool type --delay 0`, and compares the rates. Run it on a private
// display: bench/typing/run.sh.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "target_program.h"
#include "x11_probe.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using tastalo::platform::toUtf8;

constexpr int kBarcodes = 500;
constexpr auto kPatience = std::chrono::seconds(180);

std::vector<std::u32string> makeBarcodes() {
    const std::u32string alphabet =
        U"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
        U"-_.,;:/+%()[]{}!@#$&*=?<>'\"~^|\\`";
    std::mt19937 random(20240501);
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(6, 20);
    std::vector<std::u32string> barcodes;
    for (int i = 0; i < kBarcodes; ++i) {
        std::u32string barcode;
        for (int n = length(random); n > 0; --n) barcode.push_back(alphabet[letter(random)]);
        barcodes.push_back(barcode);
    }
    return barcodes;
}

struct Bench {
    tastalo::test::X11Probe probe;
    std::string folder;
    std::unique_ptr<tastalo::test::TargetProgram> target;
    std::vector<std::u32string> barcodes = makeBarcodes();
    std::string expected;  // what the target must log: every barcode and a line end
    std::size_t keystrokes = 0;  // characters plus one Enter per barcode

    Bench() {
        char pattern[] = "/tmp/typing-bench.XXXXXX";
        folder = mkdtemp(pattern);
        for (const auto& barcode : barcodes) expected += toUtf8(barcode) + "\n";
        for (const auto& barcode : barcodes) keystrokes += barcode.size() + 1;
        target = std::make_unique<tastalo::test::TargetProgram>(probe, KORVEDO_TARGET_PATH, "Korvedo",
                                                                folder + "/korvedo.log");
    }
    ~Bench() {
        target.reset();
        std::filesystem::remove_all(folder);
    }
};

Bench& bench() {
    static Bench instance;
    return instance;
}

struct Run {
    double seconds = 0;
    double sendSeconds = 0;  // until the last key was handed to the server
    bool exact = false;
    std::string received;
};

// Waits until the target has logged every barcode, and times that moment.
Run awaitLog(const Bench& b, Clock::time_point start) {
    Run run;
    const auto deadline = start + kPatience;
    const auto lines = static_cast<std::ptrdiff_t>(b.barcodes.size());
    for (;;) {
        run.received = b.target->log();
        if (std::count(run.received.begin(), run.received.end(), '\n') >= lines || Clock::now() > deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.exact = run.received == b.expected;
    return run;
}

bool activateTarget(tastalo::platform::KeyboardTarget& keyboard) { return keyboard.activate(U"Korvedo").ok(); }

// Brings the target to the front with its text box empty and its log cleared,
// so that neither run inherits anything from the one before.
bool resetTarget(Bench& b) {
    const std::string before = b.target->log();
    const auto lines = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    auto keyboard = tastalo::platform::createKeyboardTarget();
    if (!activateTarget(*keyboard) || !keyboard->pressEnter().ok()) return false;
    keyboard->finish();
    const std::string after = b.target->logAfter(lines + 1);
    b.target->clearLog();
    return static_cast<std::size_t>(std::count(after.begin(), after.end(), '\n')) > lines;
}

Run typeWithBackend(Bench& b) {
    if (!resetTarget(b)) return {};
    auto keyboard = tastalo::platform::createKeyboardTarget();
    const auto start = Clock::now();
    if (!activateTarget(*keyboard)) return {};
    for (const auto& barcode : b.barcodes) {
        // The same calls a send with no pause makes for each barcode.
        if (!keyboard->targetHasFocus()) return {};
        if (!keyboard->typeText(barcode).ok() || !keyboard->pressEnter().ok()) return {};
    }
    keyboard->finish();
    const double sendSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    Run run = awaitLog(b, start);
    run.sendSeconds = sendSeconds;
    return run;
}

Run typeWithXdotool(Bench& b) {
    if (!resetTarget(b)) return {};
    // xdotool types a carriage return as the Return key (a line feed as
    // Linefeed, which is no Enter).
    std::string text = b.expected;
    std::replace(text.begin(), text.end(), '\n', '\r');
    std::vector<char*> argv = {const_cast<char*>("xdotool"), const_cast<char*>("type"),
                               const_cast<char*>("--delay"), const_cast<char*>("0"), text.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = -1;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) return {};
    Run run = awaitLog(b, start);
    int status = 0;
    waitpid(pid, &status, 0);
    return run;
}

struct Figures {
    std::vector<double> backend, xdotool, ratio;
    int inexactRuns = 0;
};

Figures& figures() {
    static Figures instance;
    return instance;
}

void reportDifference(const char* who, const Run& run, const std::string& expected) {
    const auto mismatch = std::mismatch(run.received.begin(), run.received.end(), expected.begin(), expected.end());
    std::fprintf(stderr, "%s: the target did not receive the exact text (first difference at byte %td of %zu)\n",
                 who, mismatch.first - run.received.begin(), expected.size());
}

void TypingComparedWithXdotool(benchmark::State& state) {
    Bench& b = bench();
    if (!b.target->started()) {
        state.SkipWithError("the target program did not show its window");
        return;
    }
    for (auto _ : state) {
        const Run ours = typeWithBackend(b);
        const Run theirs = typeWithXdotool(b);
        state.SetIterationTime(ours.seconds);
        if (!ours.exact) reportDifference("backend", ours, b.expected);
        if (!theirs.exact) reportDifference("xdotool", theirs, b.expected);
        const double keys = static_cast<double>(b.keystrokes);
        const double oursRate = ours.seconds > 0 ? keys / ours.seconds : 0;
        const double theirsRate = theirs.seconds > 0 ? keys / theirs.seconds : 0;
        state.counters["backend_chars_per_s"] = oursRate;
        state.counters["xdotool_chars_per_s"] = theirsRate;
        state.counters["ratio"] = theirsRate > 0 ? oursRate / theirsRate : 0;
        state.counters["backend_send_ms"] = ours.sendSeconds * 1000;
        state.counters["backend_exact"] = ours.exact ? 1 : 0;
        state.counters["xdotool_exact"] = theirs.exact ? 1 : 0;
        Figures& f = figures();
        f.backend.push_back(oursRate);
        f.xdotool.push_back(theirsRate);
        f.ratio.push_back(state.counters["ratio"]);
        if (!ours.exact) ++f.inexactRuns;
    }
}
BENCHMARK(TypingComparedWithXdotool)->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const Figures& f = figures();
    if (f.ratio.empty()) return 1;
    const double ratio = median(f.ratio);
    std::printf("\n%d barcodes, %zu keystrokes per run, %zu runs (medians):\n", kBarcodes, bench().keystrokes,
                f.ratio.size());
    std::printf("  backend:             %10.0f characters/s\n", median(f.backend));
    std::printf("  xdotool --delay 0:   %10.0f characters/s\n", median(f.xdotool));
    std::printf("  ratio:               %10.2f (goal: at least 5)\n", ratio);
    std::printf("  backend runs with a character lost, added or reordered: %d\n", f.inexactRuns);
    return f.inexactRuns == 0 && ratio >= 5 ? 0 : 2;
}
