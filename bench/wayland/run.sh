#!/usr/bin/env bash
# bench/wayland/run.sh BUILD_DIR flood RUNS COUNT LOAD PROGRAM...
# bench/wayland/run.sh BUILD_DIR layout RUNS PROGRAM reload|switch
#
# In a private headless sway session (tests/support/wayland/with_sway.sh):
# - flood: RUNS sends of COUNT barcodes of 12 characters at Delay 0 into
#   each PROGRAM (mousepad, featherpad, foot, xterm under XWayland, gtk: a
#   GTK 3 text view, qt: the tests' Qt 6 target), with LOAD=1 two busy
#   loops beside them. Says for each run whether the program is alive,
#   whether its text is the list (mousepad and featherpad cannot be read
#   back), and the rate.
# - layout: RUNS sends of 200 barcodes with characters off every usual layout
#   (Delay 20) into PROGRAM (foot, xterm or qt), with `swaymsg reload` or a
#   switch to the Italian layout and back at a random moment. Says whether
#   every line received with its Enter is exact, and the send's outcome.
# Needs, beyond the tests' packages: mousepad featherpad qtwayland5 foot
# xterm python3-gi gir1.2-gtk-3.0 (apt-get install them by hand).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
shift
if [ -z "${WITH_SWAY_FOLDER:-}" ]; then
  cd "$top"
  exec bash tests/support/wayland/with_sway.sh "$here/run.sh" "$build" "$@"
fi

flood="$build/bench/wayland/bench_wayland_flood"
korvedo="$build/tests/support/korvedo/korvedo_target"
cd "$WITH_SWAY_FOLDER"
export NO_AT_BRIDGE=1
alive() { kill -0 "$1" 2>/dev/null && ! grep -q '^State:.*Z' "/proc/$1/status"; }

# start PROGRAM NAME FILE: starts it writing into FILE; sets pid and title.
start() {
  local program=$1 name=$2 out=$3
  case $program in
    mousepad)
      mkdir -p "home-$name"
      HOME=$PWD/home-$name XDG_CONFIG_HOME=$PWD/home-$name GDK_BACKEND=wayland \
        dbus-run-session mousepad "$out" >/dev/null 2>&1 &
      title="$out - Mousepad" ;;
    featherpad) QT_QPA_PLATFORM=wayland featherpad "$out" >/dev/null 2>&1 & title="$out" ;;
    gtk) GDK_BACKEND=wayland /usr/bin/python3 "$here/gtk_text_view.py" "$name" "$out" >/dev/null 2>&1 & title=$name ;;
    qt) QT_QPA_PLATFORM=wayland "$korvedo" "$name" "$out" >/dev/null 2>&1 & title=$name ;;
    foot) foot --title "$name" sh -c "stty -echo; cat > '$out'" >/dev/null 2>&1 & title=$name ;;
    xterm) xterm -T "$name" -e sh -c "stty -echo; cat > '$out'" >/dev/null 2>&1 & title=$name ;;
    *) echo "unknown program $program" >&2; exit 2 ;;
  esac
  pid=$!
  for _ in $(seq 150); do
    swaymsg -t get_tree | grep -qF "$(basename "$title")" && break
    sleep 0.1
  done
  sleep 0.5
}

stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pkill -f "$1" 2>/dev/null || true
}

mode=$1
shift
case $mode in
  flood)
    runs=$1 count=$2 load=$3
    shift 3
    loaders=()
    if [ "$load" = 1 ]; then for _ in 1 2; do (while :; do :; done) & loaders+=($!); done; fi
    for program in "$@"; do
      for run in $(seq "$runs"); do
        out="$PWD/flood-$program-$run.txt"
        : >"$out"
        chmod 666 "$out"
        start "$program" "Flood$program$run" "$out"
        result=$("$flood" "$title" "$count" 12 "$PWD/expected.txt" | tail -1 || true)
        sleep 1.5
        if alive "$pid"; then state=alive; else state=DROPPED; fi
        case $program in
          mousepad | featherpad) text="text not read" ;;
          *) if cmp -s "$out" expected.txt; then text=exact; else text="DIFFERENT ($(grep -c '' "$out" || true) lines)"; fi ;;
        esac
        echo "$program run $run: $state, $text; $result"
        stop "$out"
      done
    done
    for loader in "${loaders[@]}"; do kill "$loader"; done
    ;;
  layout)
    runs=$1 program=$2 action=$3
    for run in $(seq "$runs"); do
      out="$PWD/layout-$run.txt"
      : >"$out"
      chmod 666 "$out"
      start "$program" "Layout$run" "$out"
      at=$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 0.5 + r / 32768 * 4 }')
      (
        sleep "$at"
        if [ "$action" = reload ]; then
          swaymsg reload >/dev/null
        else
          swaymsg input '*' xkb_layout it >/dev/null
          swaymsg input '*' xkb_layout us >/dev/null
        fi
      ) &
      changer=$!
      result=$("$flood" --delay 20 --wide "$title" 200 14 "$PWD/expected.txt" | tail -1 || true)
      wait "$changer"
      sleep 1.5
      sent=$(echo "$result" | sed -n 's/.*sent \([0-9]*\) of.*/\1/p')
      lines=$(grep -c '' "$out" || true)
      if [ "$lines" = "$sent" ] && head -n "$sent" expected.txt | cmp -s - "$out"; then
        text="the $sent lines received are exact"
      else
        text="RECEIVED $lines LINES, NOT THE $sent EXPECTED EXACTLY"
      fi
      echo "run $run, change at ${at}s: $text; $result"
      stop "$out"
    done
    ;;
  *) echo "usage: see the head of $0" >&2; exit 2 ;;
esac
