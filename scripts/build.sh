#!/usr/bin/env bash
# Configures and builds Tastalo into build/ (the program is build/tastalo),
# with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DTASTALO_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build --parallel "$(nproc)"
