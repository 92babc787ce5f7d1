#!/usr/bin/env bash
# Cross-builds the whole program and its test suites for Windows
# (scripts/build-windows.sh --tests), 32-bit where this machine runs 32-bit
# code (see wine_windows_arch in scripts/windows-common.sh), and runs them
# under Wine on a private Xvfb: the unit and widget suites on Qt's offscreen
# platform, and the program's end-to-end test on Wine's desktop. Every test
# of that build's CTest runs, so a Windows test added to the CMake files runs
# here without more.
#
#   run_suites.sh SOURCE_DIR WORK_DIR
#
# WORK_DIR keeps the build and the Wine prefix. Without a Windows Qt at hand
# (neither a prefix nor the shipped tarball) the run is reported as skipped
# (exit status 77), with the command that provides one.
set -euo pipefail

source "$(dirname "$0")/../support/wine_session.sh"
wine_script_folders "$@"

fail() {
  echo "Windows suites under Wine: $*" >&2
  exit 1
}

source "$source_dir/scripts/windows-common.sh"
wine_windows_arch
if ! qt_windows_available; then
  echo "skipped: no Qt for Windows at $qt_windows_prefix nor $qt_windows_tarball;"
  echo "run 'bash scripts/build-qt-windows.sh --arch $windows_arch' (40 to 70 minutes) to build one, then run the tests again"
  exit 77
fi

started=$(date +%s)
elapsed() { echo $(($(date +%s) - started)); }

build_dir="$work_dir/build"
if ! bash "$source_dir/scripts/build-windows.sh" --arch "$windows_arch" --tests "$build_dir" \
    >"$work_dir/build.log" 2>&1; then
  tail -n 60 "$work_dir/build.log" >&2
  fail "the Windows build failed (whole log: $work_dir/build.log)"
fi
echo "cross-built for $windows_arch in $(elapsed) s"

wine_session_fail() { fail "$*"; }
trap wine_session_stop EXIT
wine_session_start "$work_dir"
# One Wine server for all the suites, instead of one started and stopped for each.
wineserver -p
# Two suites started together as the session's first programs can leave one
# of them unable to exit after its last test (Wine 8): one program runs first.
# On a fresh CI machine that first program has once failed to start
# ("ShellExecuteEx failed: Internal error") though the prefix was ready: it is
# tried three times, and Wine's own errors are shown if it never starts.
# It is of the suites' width, so that the first program of that width also
# starts alone (a 32-bit one runs through wine32).
first_program='C:\windows\system32\cmd.exe'
[ "$windows_arch" = win32 ] && first_program='C:\windows\syswow64\cmd.exe'
first_program_started=false
for attempt in 1 2 3; do
  if WINEDEBUG=err+all timeout 120 wine "$first_program" /c exit >"$work_dir/first-program.log" 2>&1; then
    first_program_started=true
    break
  fi
  echo "Wine's first program did not start (attempt $attempt)"
  sleep 2
done
if ! $first_program_started; then
  tail -n 40 "$work_dir/first-program.log" >&2
  fail "Wine could not run a first program"
fi
echo "Wine ready ($(elapsed) s)"

status=0
(cd "$build_dir" && ctest --output-on-failure --timeout 300 --parallel 2) || status=$?
echo "finished in $(elapsed) s"
exit "$status"
