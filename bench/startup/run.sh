#!/usr/bin/env bash
# bench/startup/run.sh [BUILD_DIR] [RUNS]
# Builds the start-up benchmark and runs it on a private Xvfb display with
# openbox (10 launches unless RUNS says otherwise). Exit status 0 when both
# goals are met, 2 when not.
set -euo pipefail
source "$(dirname "$0")/../run_on_display.sh"
run_on_display bench/startup/bench_startup "bench_startup" "$@"
