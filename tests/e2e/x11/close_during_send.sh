#!/usr/bin/env bash
# close_during_send.sh TASTALO KORVEDO_TARGET MAKEDB
#
# The real program, closed by the window manager in the middle of a send:
# it must stop typing at once, give back the keymap it borrowed, and end
# normally. Run under tests/support/x11/with_display.sh (openbox).
set -euo pipefail
tastalo=$1 korvedo=$2 makedb=$3

source "$(dirname "$0")/program_session.sh"
program_session close-during-send

# The program folder: the executable, its settings and its database.
mkdir "$work/prog"
cp "$tastalo" "$work/prog/tastalo"
printf '7;Magazzino;€B%02d\n' $(seq 1 40) >"$work/liste.csv"
"$makedb" --csv "$work/liste.csv" "$work/prog/Dati.sdf" >/dev/null
printf '[DATI]\nDataBase=%s\nFinestraPGM=Korvedo\nDelay=150\n' "$work/prog/Dati.sdf" >"$work/prog/spooling.ini"

keymap_before=$(xmodmap -pke)

"$korvedo" Korvedo "$work/korvedo.log" & pids+=($!)
window_titled Korvedo >/dev/null || fail "target window missing"

"$work/prog/tastalo" & tastalo_pid=$!; pids+=($tastalo_pid)
# The splash gives way to the main window after five seconds.
main=$(window_titled 'Invia Dati') || fail "main window missing"
xdotool windowactivate --sync "$main"
xdotool key --clearmodifiers Return

log_lines() { [ -f "$work/korvedo.log" ] && wc -l <"$work/korvedo.log" || echo 0; }
for _ in $(seq 1 100); do [ "$(log_lines)" -ge 3 ] && break; sleep 0.1; done
[ "$(log_lines)" -ge 3 ] || fail "the send did not start"

# The window manager's close, as the close box would: the focus stays on the target.
wmctrl -c 'Invia Dati'
status=0
timeout 15 tail --pid="$tastalo_pid" -f /dev/null || fail "the program did not end after its window was closed"
wait "$tastalo_pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
[ "$(xmodmap -pke)" = "$keymap_before" ] || fail "the keymap was not restored"

at_exit=$(log_lines)
# Keys typed now reach the target after all the program's keys: the log up to
# this marker line holds everything the program typed, even without an Enter.
xdotool key --clearmodifiers m a r c a t o r e Return
for _ in $(seq 1 400); do tail -n1 "$work/korvedo.log" | grep -q 'marcatore$' && break; sleep 0.05; done
last=$(tail -n1 "$work/korvedo.log")
[ "$last" = marcatore ] || fail "the marker typed after the end arrived as \"$last\""
[ "$(log_lines)" -eq $((at_exit + 1)) ] || fail "keystrokes arrived after the program ended"
[ "$at_exit" -lt 40 ] || fail "the send was not stopped (all $at_exit barcodes typed)"
# What arrived is a prefix of the list, whole barcodes only.
expected=$(printf '€B%02d\n' $(seq 1 "$at_exit"))
received=$(head -n "$at_exit" "$work/korvedo.log")
[ "$received" = "$expected" ] || fail "the target received something else: $received"
echo "1 passed, 0 failed: stopped after $at_exit of 40 barcodes"
