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

# The Windows suites' cross build is the longest step of the test run: begun
# beside the sanitizer build, it is found done when CTest starts those suites
# (tests/wine/run_suites.sh builds into the same folder, and reports any
# failure of its own). Without a Windows Qt at hand the suites are skipped.
source scripts/windows-common.sh
windows_build=build-asan/tests/wine/wine/build
windows_pid=""
if qt_windows_available; then
  mkdir -p "$windows_build"
  bash scripts/build-windows.sh --tests "$windows_build" >build-asan/windows-build.log 2>&1 &
  windows_pid=$!
fi

cmake --preset asan-ubsan >/dev/null
cmake --build --preset asan-ubsan --parallel "$(nproc)"
# Never two builds in one folder: CTest's starts once this one has ended.
if [ -n "$windows_pid" ] && ! wait "$windows_pid"; then
  echo "the early Windows build failed (build-asan/windows-build.log); the Windows suites will say why"
fi
ctest --preset asan-ubsan --timeout 300 --parallel "$(nproc)"
