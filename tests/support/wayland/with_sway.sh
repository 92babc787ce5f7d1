#!/usr/bin/env bash
# with_sway.sh COMMAND [ARGS...]
#
# Runs COMMAND in a private headless sway session with XWayland. sway refuses
# to run as root, so as root it runs as nobody; otherwise as the caller.
# COMMAND itself runs as the caller, once the Wayland socket, sway's IPC and
# XWayland's X display all answer. Exported for it: XDG_RUNTIME_DIR,
# WAYLAND_DISPLAY, SWAYSOCK, DISPLAY (XWayland's), WITH_SWAY_RUN_AS (the user
# sway runs as) and WITH_SWAY_FOLDER (the session's temp folder; what
# COMMAND writes there the sway user may read and write too).
# QT_QPA_PLATFORM is unset. Everything started here is stopped on exit; the
# exit status is COMMAND's.
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi

if [ "$(id -u)" -eq 0 ]; then
  run_as=nobody
else
  run_as=$(id -un)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/with-sway.XXXXXX")
runtime="$work/runtime"
sway_pid=
runuser_pid=
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
  if [ -n "$sway_pid" ]; then
    # runuser ends with sway; signalled itself, it would wait 2 s more.
    kill "$sway_pid" 2>/dev/null
    wait "${runuser_pid:-$sway_pid}" 2>/dev/null
  else
    stop "$runuser_pid"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -m 700 "$runtime" "$work/home"
cat >"$work/sway.conf" <<'EOF'
xwayland enable
output HEADLESS-1 resolution 1024x700 bg #335566 solid_color
default_border normal
focus_on_window_activation focus
EOF

# As root, nobody must reach the folder and own its runtime dir and home.
# The folder is setgid to nobody's group and COMMAND gets umask 002, so that
# what root creates in it can be written by nobody as well.
if [ "$(id -u)" -eq 0 ]; then
  group=$(id -gn "$run_as")
  chown "$run_as:$group" "$runtime" "$work/home"
  chgrp "$group" "$work" "$work/sway.conf"
  chmod 2775 "$work"
  chmod 644 "$work/sway.conf"
  as_sway=(runuser -u "$run_as" --)
else
  as_sway=()
fi

# Not through a function: $! must be runuser's PID, not a subshell's.
"${as_sway[@]}" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$runtime" \
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway --config "$work/sway.conf" >"$work/sway.log" 2>&1 &
if [ "$(id -u)" -eq 0 ]; then runuser_pid=$!; else sway_pid=$!; fi

deadline=$((SECONDS + 30))
fail() {
  echo "with_sway.sh: $1" >&2
  echo "--- sway's log:" >&2
  cat "$work/sway.log" >&2
  exit 1
}
# Polls until "$@" succeeds; false once sway is gone or the time is up.
poll() {
  until "$@"; do
    kill -0 "${runuser_pid:-$sway_pid}" 2>/dev/null || return 1
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# The first free name is taken, not always wayland-0.
wayland_socket() {
  local s
  for s in "$runtime"/wayland-*; do
    if [ -S "$s" ]; then
      WAYLAND_DISPLAY=$(basename "$s")
      return 0
    fi
  done
  return 1
}
ipc_socket() {
  local s
  for s in "$runtime"/sway-ipc.*.sock; do
    if [ -S "$s" ]; then
      SWAYSOCK=$s
      return 0
    fi
  done
  return 1
}
poll wayland_socket || fail "no Wayland socket in $runtime within 30 s"
poll ipc_socket || fail "no sway IPC socket in $runtime within 30 s"
# The socket's name holds sway's PID, which runuser does not tell.
sway_pid=${SWAYSOCK%.sock}
sway_pid=${sway_pid##*.}
export WAYLAND_DISPLAY SWAYSOCK XDG_RUNTIME_DIR="$runtime"

ipc_answers() { swaymsg -t get_version >/dev/null 2>&1; }
poll ipc_answers || fail "sway's IPC did not answer within 30 s"

# XWayland's display number is known only inside sway's environment.
"${as_sway[@]}" env SWAYSOCK="$SWAYSOCK" swaymsg exec "echo \$DISPLAY > $(printf %q "$work/display")" >/dev/null ||
  fail "swaymsg exec failed"
display_known() { [ -s "$work/display" ]; }
poll display_known || fail "sway did not tell XWayland's display within 30 s"
DISPLAY=$(head -n1 "$work/display")
[ -n "$DISPLAY" ] || fail "sway has no DISPLAY: XWayland did not start"
export DISPLAY

# XWayland starts on its first client and lets in only the user it runs as,
# so that user lets the caller in too (as root; else they are the same).
unset XAUTHORITY
x_answers() {
  "${as_sway[@]}" env DISPLAY="$DISPLAY" xhost "+si:localuser:$(id -un)" >"$work/x.log" 2>&1 &&
    xdpyinfo >/dev/null 2>>"$work/x.log"
}
poll x_answers || {
  cat "$work/x.log" >&2
  fail "XWayland did not answer on display $DISPLAY within 30 s"
}

# Programs under test choose their platform and read keys themselves.
unset QT_QPA_PLATFORM QT_IM_MODULE XMODIFIERS GTK_IM_MODULE
export WITH_SWAY_RUN_AS="$run_as" WITH_SWAY_FOLDER="$work"
if [ "$(id -u)" -eq 0 ]; then umask 002; fi

# In the background, so that a TERM (a test timeout) is handled at once.
status=0
"$@" &
command_pid=$!
wait "$command_pid" || status=$?
command_pid=
exit "$status"
