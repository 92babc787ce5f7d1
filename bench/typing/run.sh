#!/usr/bin/env bash
# bench/typing/run.sh [BUILD_DIR] [benchmark options...]
# Builds the typing benchmark and runs it on a private Xvfb display with
# openbox. BUILD_DIR defaults to build/ at the top of the repository; the
# options go to Google Benchmark (five runs of each figure unless
# --benchmark_repetitions says otherwise; --benchmark_filter=Ritardo50 for
# the paced send alone). The comparison of characters off the keymap with
# ASCII also types into an xterm, installed by hand (apt-get install xterm).
# Exit status 0 when every goal is met, 2 when not.
set -euo pipefail
source "$(dirname "$0")/../run_on_display.sh"
run_on_display bench/typing/bench_typing "bench_typing korvedo_target" "$@"
