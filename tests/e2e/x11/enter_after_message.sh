#!/usr/bin/env bash
# enter_after_message.sh TASTALO KORVEDO_TARGET MAKEDB
#
# The operator's Enters after a send's closing message: twice 0.3 s apart,
# then twice at once. Each time the box closes with the first, the focus
# goes back to the main window (not to the target, in front before the box)
# and the second starts no send: the target receives the list once per send
# and no extra Enter. Run under tests/support/x11/with_display.sh (openbox).
set -euo pipefail
tastalo=$1 korvedo=$2 makedb=$3

source "$(dirname "$0")/program_session.sh"
program_session enter-after-message
log_lines() { [ -f "$work/korvedo.log" ] && wc -l <"$work/korvedo.log" || echo 0; }

mkdir "$work/prog"
cp "$tastalo" "$work/prog/tastalo"
printf '7;Magazzino;E%02d\n' 1 2 3 >"$work/liste.csv"
"$makedb" --csv "$work/liste.csv" "$work/prog/Dati.sdf" >/dev/null
# Slow enough for the program to see the target take the focus mid-send.
printf '[DATI]\nDataBase=%s\nFinestraPGM=Korvedo\nDelay=200\n' "$work/prog/Dati.sdf" >"$work/prog/spooling.ini"

"$korvedo" Korvedo "$work/korvedo.log" & pids+=($!)
target=$(window_titled Korvedo) || fail "target window missing"
"$work/prog/tastalo" & tastalo_pid=$!; pids+=($tastalo_pid)
main=$(window_titled 'Invia Dati') || fail "main window missing"
xdotool windowactivate --sync "$main"

# Enter on the main window sends; the two Enters ($1 ms apart) go wherever
# the focus is, as the operator's would: the first to the box.
send_then_enters() {
  xdotool key Return
  window_titled Tastalo --onlyvisible >/dev/null || fail "no closing message"
  xdotool key --delay "$1" Return Return
  timeout 5 bash -c 'while xdotool search --onlyvisible --name "^Tastalo$" >/dev/null 2>&1; do sleep 0.05; done' ||
    fail "the message box did not close or came again"
  timeout 2 bash -c 'until [ "$(xdotool getactivewindow)" = "$1" ]; do sleep 0.05; done' _ "$main" ||
    fail "the focus went to window $(xdotool getactivewindow), not to the main window $main"
}

send_then_enters 300
# Alt+C opens the deletion question only on a main window at rest (a send
# would have put the target in front); Escape leaves it.
xdotool key alt+c
timeout 5 bash -c 'until xdotool search --onlyvisible --name "^Richiesta Cancellazione$" >/dev/null 2>&1; do sleep 0.05; done' ||
  fail "the main window did not answer after the Enters 0.3 s apart"
xdotool key Escape
timeout 5 bash -c 'while xdotool search --onlyvisible --name "^Richiesta Cancellazione$" >/dev/null 2>&1; do sleep 0.05; done' ||
  fail "the deletion question did not close"

send_then_enters 12
# Escape closes the program only from a main window at rest, after the Enters.
xdotool key Escape
timeout 5 tail --pid="$tastalo_pid" -f /dev/null || fail "the program did not end on Escape after the quick Enters"

# Keys typed now reach the target after everything else: the log up to this
# marker holds all it received.
xdotool windowactivate --sync "$target" key m a r c a t o r e Return
for _ in $(seq 1 200); do tail -n1 "$work/korvedo.log" | grep -q 'marcatore$' && break; sleep 0.05; done
expected=$(printf 'E%02d\n' 1 2 3 1 2 3; echo marcatore)
[ "$(cat "$work/korvedo.log")" = "$expected" ] || fail "the target received: $(cat "$work/korvedo.log" | tr '\n' '|')"
echo "1 passed, 0 failed: Enters 0.3 s apart and at once after the message started nothing"
