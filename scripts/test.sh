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
wine_work="$PWD/build-asan/tests/wine/wine"
wine_log="$PWD/build-asan/windows-suites.log"
mkdir -p "$wine_work"
bash tests/wine/run_suites.sh "$PWD" "$wine_work" >"$wine_log" 2>&1 &
wine_pid=$!
trap 'kill "$wine_pid" 2>/dev/null || true' EXIT

cmake --build --preset asan-ubsan --parallel "$(nproc)"
status=0
ctest --preset asan-ubsan --timeout 300 --parallel "$(nproc)" -E '^windows_suites_under_wine$' || status=$?

wine_status=0
wait "$wine_pid" || wine_status=$?
trap - EXIT
echo "== Windows suites under Wine =="
cat "$wine_log"
case "$wine_status" in
  0) ;;
  77) echo "Windows suites under Wine: skipped" ;;
  *) echo "Windows suites under Wine: FAILED (exit status $wine_status)"; status=1 ;;
esac
exit "$status"
