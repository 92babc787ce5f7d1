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
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$top/build
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  build=$1
  shift
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" >/dev/null
fi
cmake --build "$build" --target bench_typing korvedo_target --parallel "$(nproc)" >/dev/null
exec "$top/tests/support/x11/with_display.sh" "$build/bench/typing/bench_typing" "$@"
