#!/usr/bin/env bash
# Sourced by the benchmarks' run scripts: builds their targets and runs one
# on a private Xvfb display with openbox.
#
#   run_on_display PROGRAM "TARGET..." [BUILD_DIR] [options...]
#
# PROGRAM is the benchmark's path inside the build folder; BUILD_DIR (build/
# at the top of the repository unless an existing folder comes first) is
# configured when it has never been; the options go to the benchmark.
# DISPLAY_OPTIONS (--no-wm) go to with_display.sh.
run_on_display() {
  local program=$1 targets=$2
  shift 2
  local top build
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  build=$top/build
  if [ $# -gt 0 ] && [ -d "$1" ]; then
    build=$1
    shift
  fi
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" >/dev/null
  fi
  # shellcheck disable=SC2086 # one or more target names
  cmake --build "$build" --target $targets --parallel "$(nproc)" >/dev/null
  # shellcheck disable=SC2086 # no option or one
  exec "$top/tests/support/x11/with_display.sh" ${DISPLAY_OPTIONS:-} "$build/$program" "$@"
}
