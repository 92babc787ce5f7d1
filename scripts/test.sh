#!/usr/bin/env bash
# Installs what is missing, checks the C++ formatting, builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer and warnings as errors
# (CMake preset asan-ubsan, into build-asan/), and runs every test through
# CTest under the sanitizers. The Windows build's suites run under Wine from
# their own cross build. Tests that need a display start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
cmake --preset asan-ubsan >/dev/null
cmake --build --preset asan-ubsan --parallel "$(nproc)"
ctest --preset asan-ubsan --timeout 300 --parallel "$(nproc)"
