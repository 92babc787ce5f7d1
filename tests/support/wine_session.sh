# Sourced by the scripts that run Windows programs under Wine: a private
# Xvfb display and a Wine prefix of our own.
#
#   wine_session_start WORK_DIR   exports DISPLAY, WINEPREFIX and Wine's quiet
#                                 settings; the prefix is kept in WORK_DIR/prefix
#                                 so that only the first run pays for its creation
#   wine_session_stop             ends the prefix's Wine processes, then the Xvfb
#
# No window manager is started: Wine is told to manage its windows itself
# (X11 driver "Managed" = N), which is how activation works on Windows, and
# which spares the two-second wait Wine makes for a window manager that never
# answers when a managed window is closed.
# Time limits: TASTALO_WINE_BOOT_TIMEOUT (300 s) for the prefix's creation.
# Callers define wine_session_fail MESSAGE (print it, exit non-zero).
#
#   wine_script_folders "$@"     the scripts' two arguments, SOURCE_DIR and
#                                WORK_DIR, as absolute paths in source_dir and
#                                work_dir (WORK_DIR is created)

wine_session_xvfb_pid=""

wine_script_folders() {
  if [ $# -ne 2 ]; then
    echo "usage: $0 SOURCE_DIR WORK_DIR" >&2
    exit 2
  fi
  source_dir=$(cd "$1" && pwd)
  mkdir -p "$2"
  work_dir=$(cd "$2" && pwd)
}

wine_session_start() {
  local work_dir=$1
  local boot_timeout=${TASTALO_WINE_BOOT_TIMEOUT:-300}
  export WINEPREFIX="$work_dir/prefix"

  # Xvfb picks a free display number and writes it to the file descriptor
  # given with -displayfd.
  local display_file="$work_dir/display"
  : >"$display_file"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" \
    >"$work_dir/xvfb.log" 2>&1 &
  wine_session_xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$wine_session_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$display_file" ] || { cat "$work_dir/xvfb.log" >&2; wine_session_fail "Xvfb did not start"; }
  export DISPLAY=":$(head -n1 "$display_file")"

  # Quiet, without the Mono and Gecko installers Wine would offer (they need
  # the network and a person to click).
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # A 64-bit prefix runs 32-bit programs too (through wine32) and 64-bit ones.
  export WINEARCH=win64
  # The marker names the Wine that made the prefix, with its loaders: a
  # prefix made before wine32 came lacks the 32-bit side, and is made anew.
  local ready_marker="$WINEPREFIX/.tastalo-ready"
  local wine_build
  wine_build="$(wine --version) $(ls /usr/lib/wine 2>/dev/null | tr '\n' ' ')"
  if [ "$(cat "$ready_marker" 2>/dev/null)" != "$wine_build" ]; then
    rm -rf "$WINEPREFIX"
    echo "creating the Wine prefix (first run only)..."
    if ! timeout "$boot_timeout" wine wineboot --init >"$work_dir/wineboot.log" 2>&1; then
      tail -n 20 "$work_dir/wineboot.log" >&2
      wine_session_fail "Wine did not create its prefix within $boot_timeout s (TASTALO_WINE_BOOT_TIMEOUT)"
    fi
    if ! timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >>"$work_dir/wineboot.log" 2>&1; then
      wine_session_fail "could not set Wine's X11 driver to manage its own windows"
    fi
    timeout "$boot_timeout" wineserver -w || wine_session_fail "Wine did not settle after creating its prefix"
    echo "$wine_build" >"$ready_marker"
    echo "Wine prefix ready"
  fi
  # Wine leaves the prefix's font folder empty, finding the system's fonts
  # through fontconfig, but Qt's offscreen platform on Windows reads that
  # folder alone. Windows has Arial there: Liberation Sans has its metrics.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp -n /usr/share/fonts/truetype/liberation2/LiberationSans-*.ttf "$fonts/" ||
    wine_session_fail "could not put Liberation Sans (fonts-liberation2) into the Wine prefix"
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$wine_session_xvfb_pid" ]; then kill "$wine_session_xvfb_pid" 2>/dev/null || true; fi
}
