#!/usr/bin/env bash
# Installs what is missing, builds, gives a fresh checkout a demo Dati.sdf
# beside the program, and starts Tastalo on the current display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh

if [ ! -e build/Dati.sdf ]; then
  build/tools/tastalo-makedb --demo build/Dati.sdf
  echo "Demo database created: build/Dati.sdf"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is set (DISPLAY is empty): Tastalo is a desktop program and needs one." >&2
  echo "Start it from a graphical session, or for example: Xvfb :5 & DISPLAY=:5 openbox & DISPLAY=:5 build/tastalo" >&2
  exit 1
fi
exec build/tastalo
