#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Tests that need a display start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build
ctest --output-on-failure --timeout 300 --parallel "$(nproc)"
