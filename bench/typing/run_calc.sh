#!/usr/bin/env bash
# bench/typing/run_calc.sh [BUILD_DIR] [RUNS]
# Builds the Calc benchmark and runs it on a private Xvfb display with
# openbox. Needs LibreOffice Calc, installed by hand:
#   apt-get install -y --no-install-recommends libreoffice-calc
# RUNS (3 unless given) is how many times each list is typed. Exit status 0
# when every barcode arrived exactly and the keymap was given back, 2 when not.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$top/build
if [ $# -gt 0 ] && [ -d "$1" ]; then
  build=$1
  shift
fi
if ! command -v soffice >/dev/null; then
  echo "run_calc.sh: soffice not found; apt-get install -y --no-install-recommends libreoffice-calc" >&2
  exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" >/dev/null
fi
cmake --build "$build" --target bench_typing_calc --parallel "$(nproc)" >/dev/null
exec "$top/tests/support/x11/with_display.sh" "$build/bench/typing/bench_typing_calc" "$@"
