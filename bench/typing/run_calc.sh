#!/usr/bin/env bash
# bench/typing/run_calc.sh [BUILD_DIR] [RUNS] [options...]
# Builds the Calc benchmark and runs it on a private Xvfb display with
# openbox. Needs LibreOffice Calc, installed by hand:
#   apt-get install -y --no-install-recommends libreoffice-calc
# RUNS (3 unless given) is how many times each list is typed; the options
# (bench/typing/settle_options.h) try other waits around a keymap change,
# each setting typed RUNS times. Exit status 0 when every barcode arrived
# exactly and the keymap was given back, 2 when not.
set -euo pipefail
source "$(dirname "$0")/../run_on_display.sh"
if ! command -v soffice >/dev/null; then
  echo "run_calc.sh: soffice not found; apt-get install -y --no-install-recommends libreoffice-calc" >&2
  exit 1
fi
run_on_display bench/typing/bench_typing_calc "bench_typing_calc" "$@"
