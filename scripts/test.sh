#!/usr/bin/env bash
# Installs what is missing, checks the C++ formatting, builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer and warnings as errors
# (CMake preset asan-ubsan, into build-asan/), and runs every test through
# CTest under the sanitizers. The Windows build's suites run under Wine from
# their own cross build, started first, beside the native build. Tests that
# need a display start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
cmake --preset asan-ubsan >/dev/null

# The Windows suites need nothing of the native build: they are cross-built
# and run under Wine from the start, beside it, so that the native tests fill
# the time Wine spends waiting. Their CTest entry runs the same script.
# The same for the Windows keystroke backend's check program.
declare -A wine_pids
start_under_wine() {  # NAME SCRIPT WORK_DIR
  mkdir -p "$3"
  bash "$2" "$PWD" "$3" >"$PWD/build-asan/$1.log" 2>&1 &
  wine_pids[$1]=$!
}
start_under_wine windows_suites_under_wine tests/wine/run_suites.sh "$PWD/build-asan/tests/wine/wine"
start_under_wine windows_backend_under_wine tests/platform/win32/run_under_wine.sh \
  "$PWD/build-asan/tests/platform/win32/wine"
trap 'kill "${wine_pids[@]}" 2>/dev/null || true' EXIT

cmake --build --preset asan-ubsan --parallel "$(nproc)"
status=0
ctest --preset asan-ubsan --timeout 300 --parallel "$(nproc)" \
  -E '^(windows_suites_under_wine|windows_backend_under_wine)$' || status=$?

for name in windows_suites_under_wine windows_backend_under_wine; do
  wine_status=0
  wait "${wine_pids[$name]}" || wine_status=$?
  echo "== $name =="
  cat "$PWD/build-asan/$name.log"
  case "$wine_status" in
    0) ;;
    77) echo "$name: skipped" ;;
    *) echo "$name: FAILED (exit status $wine_status)"; status=1 ;;
  esac
done
trap - EXIT
exit "$status"
