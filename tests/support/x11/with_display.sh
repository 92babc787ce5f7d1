#!/usr/bin/env bash
# with_display.sh [--no-wm] [--operator-keyboard] COMMAND [ARGS...]
#
# Runs COMMAND on a private X display: its own Xvfb on a free display number
# and, unless --no-wm is given, openbox as the window manager. With
# --operator-keyboard the display is a Xephyr inside that Xvfb instead: its
# keyboard is a second input device beside XTest's, as a physical keyboard
# is, and keys sent to the Xvfb (OPERATOR_DISPLAY, where the Xephyr window
# has the focus) arrive through it. Nothing starts
# on the display before a client has connected to it, and COMMAND only once
# openbox manages windows. DISPLAY is set for COMMAND, and
# WITH_DISPLAY_WM tells it "openbox" or "none". Everything started here is
# stopped on exit; the exit status is COMMAND's.
set -euo pipefail

wm=openbox
operator_keyboard=no
while [ $# -gt 0 ]; do
  case "$1" in
    --no-wm) wm=none ;;
    --operator-keyboard) operator_keyboard=yes ;;
    *) break ;;
  esac
  shift
done
if [ $# -eq 0 ]; then
  echo "usage: $0 [--no-wm] COMMAND [ARGS...]" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/with-display.XXXXXX")
xvfb_pid=
xephyr_pid=
wm_pid=
probe_pid=
command_pid=

stop() {
  if [ -n "$1" ]; then
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
  fi
}

cleanup() {
  set +e
  stop "$command_pid"
  stop "$probe_pid"
  stop "$wm_pid"
  stop "$xephyr_pid"
  stop "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks the first free display number itself and writes it to fd 3.
# -noreset: by default the server resets when its last client leaves and
# refuses the clients that connect meanwhile, so a short-lived client (the
# checks below, a test's helper) could make the next one fail to connect.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 200); do
  [ -s "$work/display" ] && break
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "with_display.sh: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "with_display.sh: Xvfb gave no display number within 10 s" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

if [ "$operator_keyboard" = yes ]; then
  until xdpyinfo >/dev/null 2>&1; do
    kill -0 "$xvfb_pid" 2>/dev/null || exit 1
    sleep 0.05
  done
  export OPERATOR_DISPLAY="$DISPLAY"
  # -no-host-grab: Ctrl+Shift, which the tests press, must not grab.
  Xephyr -displayfd 3 -nolisten tcp -noreset -no-host-grab -screen 1280x1024x24 \
    3>"$work/inner-display" 2>"$work/xephyr.log" &
  xephyr_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$work/inner-display" ] && break
    kill -0 "$xephyr_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ ! -s "$work/inner-display" ]; then
    echo "with_display.sh: Xephyr did not start:" >&2
    cat "$work/xephyr.log" >&2
    exit 1
  fi
  xephyr_window=$(xdotool search --sync --class Xephyr | head -n1)
  xdotool windowfocus --sync "$xephyr_window"
  export DISPLAY=":$(head -n1 "$work/inner-display")"
fi

# Programs under test type and read keys themselves: no input method, no
# session bus surprises, the X11 platform for Qt.
unset WAYLAND_DISPLAY QT_IM_MODULE XMODIFIERS GTK_IM_MODULE XAUTHORITY
export QT_QPA_PLATFORM=xcb
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# Nothing is started on the display before a client has really connected.
connected=no
for _ in $(seq 1 200); do
  if xdpyinfo >/dev/null 2>"$work/xdpyinfo.log"; then
    connected=yes
    break
  fi
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
  sleep 0.05
done
if [ "$connected" != yes ]; then
  echo "with_display.sh: no client could connect to Xvfb on display $DISPLAY within 10 s:" >&2
  cat "$work/xdpyinfo.log" "$work/xvfb.log" >&2
  exit 1
fi

if [ "$wm" = openbox ]; then
  mkdir -p "$work/config" "$work/cache"
  XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  ready=no
  for _ in $(seq 1 200); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
      ready=yes
      break
    fi
    if ! kill -0 "$wm_pid" 2>/dev/null; then break; fi
    sleep 0.05
  done
  # openbox sets that property before it handles new windows, and a window
  # mapped in between can stay unmanaged for good (a few starts in a
  # hundred here): first a probe window must be managed, a new one whenever
  # the last was not within 2 s. Iconic, so that it never takes the focus.
  if [ "$ready" = yes ]; then
    ready=no
    for _ in $(seq 1 5); do
      xmessage -iconic -timeout 60 with_display.sh >/dev/null 2>&1 &
      probe_pid=$!
      for _ in $(seq 1 40); do
        if xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q "# 0x"; then
          ready=yes
          break
        fi
        sleep 0.05
      done
      stop "$probe_pid"
      probe_pid=
      [ "$ready" = yes ] && break
    done
    # COMMAND starts with no window managed.
    for _ in $(seq 1 200); do
      xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q "# 0x" || break
      sleep 0.05
    done
  fi
  if [ "$ready" != yes ]; then
    echo "with_display.sh: openbox did not start managing windows on display $DISPLAY within 20 s:" >&2
    cat "$work/openbox.log" "$work/xvfb.log" >&2
    exit 1
  fi
fi
export WITH_DISPLAY_WM="$wm"

# In the background, so that a TERM (a test timeout) is handled at once.
status=0
"$@" &
command_pid=$!
wait "$command_pid" || status=$?
command_pid=
exit "$status"
