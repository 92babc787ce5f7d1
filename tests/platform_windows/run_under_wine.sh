#!/usr/bin/env bash
# Cross-builds the Windows keystroke backend and its check program with
# Debian's MinGW-w64, then runs the program under Wine on a private Xvfb.
#
#   run_under_wine.sh SOURCE_DIR WORK_DIR
#
# WORK_DIR keeps the cross build and the Wine prefix: the first run creates
# the prefix (Wine's slow first start, once), later runs reuse it.
# No window manager is started: Wine is told to manage its windows itself
# (X11 driver "Managed" = N), which is how activation works on Windows, and
# which spares the two-second wait Wine makes for a window manager that
# never answers when a managed window is closed.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 SOURCE_DIR WORK_DIR" >&2
  exit 2
fi
source_dir=$(cd "$1" && pwd)
mkdir -p "$2"
work_dir=$(cd "$2" && pwd)

boot_timeout=${TASTALO_WINE_BOOT_TIMEOUT:-300}
run_timeout=${TASTALO_WINE_RUN_TIMEOUT:-300}

fail() {
  echo "windows backend under Wine: $*" >&2
  exit 1
}

for tool in cmake x86_64-w64-mingw32-g++ wine wineserver Xvfb timeout; do
  command -v "$tool" >/dev/null 2>&1 ||
    fail "$tool is missing; scripts/install-deps.sh installs it (g++-mingw-w64-x86-64, wine, wine64, xvfb)"
done

started=$(date +%s)
elapsed() { echo $(($(date +%s) - started)); }

# 1. The cross build.
build_dir="$work_dir/build"
cross_source="$source_dir/tests/platform_windows/cross"
# A cache made from another source folder (a moved checkout) cannot be reused.
if [ -f "$build_dir/CMakeCache.txt" ] &&
   ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$cross_source" "$build_dir/CMakeCache.txt"; then
  rm -rf "$build_dir"
fi
if ! cmake -S "$cross_source" -B "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >"$work_dir/configure.log" 2>&1; then
  cat "$work_dir/configure.log" >&2
  fail "configuring the MinGW-w64 build failed"
fi
if ! cmake --build "$build_dir" --parallel 2 >"$work_dir/build.log" 2>&1; then
  cat "$work_dir/build.log" >&2
  fail "the MinGW-w64 build failed"
fi
program="$build_dir/program/windows_backend_check.exe"
echo "cross-built $program ($(elapsed) s)"

# 2. A display of our own. Xvfb picks a free display number and writes it to
#    the file descriptor given with -displayfd.
xvfb_pid=""
export WINEPREFIX="$work_dir/prefix"
cleanup() {
  # Ends the Wine processes of this prefix only, then our Xvfb.
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

display_file="$work_dir/display"
: >"$display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" \
  >"$work_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$display_file" ] || { cat "$work_dir/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$display_file")"

# 3. Wine, quiet, without the Mono and Gecko installers it would offer (they
#    need the network and a person to click).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
ready_marker="$WINEPREFIX/.tastalo-ready"
if [ ! -f "$ready_marker" ]; then
  rm -rf "$WINEPREFIX"
  echo "creating the Wine prefix (first run only)..."
  if ! timeout "$boot_timeout" wine wineboot --init >"$work_dir/wineboot.log" 2>&1; then
    tail -n 20 "$work_dir/wineboot.log" >&2
    fail "Wine did not create its prefix within $boot_timeout s (TASTALO_WINE_BOOT_TIMEOUT)"
  fi
  if ! timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      >>"$work_dir/wineboot.log" 2>&1; then
    fail "could not set Wine's X11 driver to manage its own windows"
  fi
  timeout "$boot_timeout" wineserver -w || fail "Wine did not settle after creating its prefix"
  touch "$ready_marker"
  echo "Wine prefix ready ($(elapsed) s)"
fi

# 4. The checks. Their last line is "N passed, N failed".
status=0
timeout "$run_timeout" wine "$program" || status=$?
if [ "$status" -eq 124 ]; then
  fail "the checks did not finish within $run_timeout s (TASTALO_WINE_RUN_TIMEOUT)"
fi
echo "finished in $(elapsed) s"
exit "$status"
