#!/usr/bin/env bash
# bench/typing/run_settle.sh [BUILD_DIR] [options...]
# Builds the settle measurement and runs it on a private Xvfb display
# without a window manager (every keymap change makes openbox reload its key
# bindings, and a few hundred leave it minutes behind): how long an xterm, a
# GTK and a Qt target need around a keymap change when the send cannot ask
# them. settle_benchmark.cpp says what it types, settle_options.h the
# options. Needs xterm and python3-gi with GTK 3, installed by hand
# (apt-get install xterm python3-gi gir1.2-gtk-3.0). Exit status 0 when every
# setting came through exactly, 2 when not. Example:
#   bash bench/typing/run_settle.sh build --no-ping --pauses=0,5,20 --runs=20
set -euo pipefail
source "$(dirname "$0")/../run_on_display.sh"
DISPLAY_OPTIONS=--no-wm run_on_display bench/typing/bench_typing_settle "bench_typing_settle korvedo_target" "$@"
