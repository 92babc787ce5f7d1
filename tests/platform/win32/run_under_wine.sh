#!/usr/bin/env bash
# Cross-builds the Windows keystroke backend and its check program with
# Debian's MinGW-w64, 32-bit where this machine runs 32-bit code (see
# wine_windows_arch in scripts/windows-common.sh), then runs the program
# under Wine on a private Xvfb.
#
#   run_under_wine.sh SOURCE_DIR WORK_DIR
#
# WORK_DIR keeps the cross build and the Wine prefix: the first run creates
# the prefix (Wine's slow first start, once), later runs reuse it.
# The display and the prefix: tests/support/wine_session.sh.
set -euo pipefail

source "$(dirname "$0")/../../support/wine_session.sh"
wine_script_folders "$@"
source "$source_dir/scripts/windows-common.sh"
wine_windows_arch

run_timeout=${TASTALO_WINE_RUN_TIMEOUT:-300}

fail() {
  echo "windows backend under Wine: $*" >&2
  exit 1
}

for tool in cmake "$windows_triplet-g++-posix" wine wineserver Xvfb timeout; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing; scripts/install-deps.sh installs it"
done

started=$(date +%s)
elapsed() { echo $(($(date +%s) - started)); }

# 1. The cross build.
build_dir="$work_dir/build"
cross_source="$source_dir/tests/platform/win32/cross"
windows_clear_stale_build "$build_dir" "$cross_source" CMAKE_TOOLCHAIN_FILE
if ! cmake -S "$cross_source" -B "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$windows_toolchain" \
    -DCMAKE_BUILD_TYPE=Release >"$work_dir/configure.log" 2>&1; then
  cat "$work_dir/configure.log" >&2
  fail "configuring the MinGW-w64 build failed"
fi
if ! cmake --build "$build_dir" --parallel 2 >"$work_dir/build.log" 2>&1; then
  cat "$work_dir/build.log" >&2
  fail "the MinGW-w64 build failed"
fi
program="$build_dir/program/windows_backend_check.exe"
echo "cross-built $program for $windows_arch ($(elapsed) s)"

# 2. A display of our own and the Wine prefix.
wine_session_fail() { fail "$*"; }
trap wine_session_stop EXIT
wine_session_start "$work_dir"
echo "Wine ready ($(elapsed) s)"

# 3. The checks. Their last line is "N passed, N failed".
status=0
timeout "$run_timeout" wine "$program" || status=$?
if [ "$status" -eq 124 ]; then
  fail "the checks did not finish within $run_timeout s (TASTALO_WINE_RUN_TIMEOUT)"
fi
echo "finished in $(elapsed) s"
exit "$status"
