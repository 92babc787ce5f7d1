#!/usr/bin/env bash
# bench/startup/run.sh [BUILD_DIR] [RUNS]
# Builds the start-up benchmark and runs it on a private Xvfb display with
# openbox (10 launches unless RUNS says otherwise). Exit status 0 when both
# goals are met, 2 when not.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$top/build
if [ $# -gt 0 ] && [ -d "$1" ]; then
  build=$1
  shift
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" >/dev/null
fi
cmake --build "$build" --target bench_startup --parallel "$(nproc)" >/dev/null
exec "$top/tests/support/x11/with_display.sh" "$build/bench/startup/bench_startup" "$@"
