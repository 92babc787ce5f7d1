#!/usr/bin/env bash
# bench/typing/run.sh [BUILD_DIR] [benchmark options...]
# Builds the typing benchmark and runs it on a private Xvfb display with
# openbox. BUILD_DIR defaults to build/ at the top of the repository.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
[ $# -gt 0 ] && shift
cmake --build "$build" --target bench_typing korvedo_target --parallel "$(nproc)" >/dev/null
exec "$top/tests/e2e/with_display.sh" "$build/bench/typing/bench_typing" "$@"
