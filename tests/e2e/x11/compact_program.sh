#!/usr/bin/env bash
# compact_program.sh TASTALO KORVEDO_TARGET MAKE_COMPACT
#
# The real program with a SQL Server Compact file as its Dati.sdf: the lists
# are shown in name order (the first one is sent), a send types every barcode
# exactly, and a deletion is refused with a message while the file stays byte
# for byte as it was; the lists are still there for the next send. Run under
# tests/support/x11/with_display.sh (openbox). With TASTALO_SCREENSHOTS=DIR,
# the main window and the deletion message are saved there.
set -euo pipefail
tastalo=$1 korvedo=$2 make_compact=$3

source "$(dirname "$0")/program_session.sh"
program_session compact-program
shot() { [ -z "${TASTALO_SCREENSHOTS:-}" ] || import -window root "$TASTALO_SCREENSHOTS/$1.png"; }
log_lines() { [ -f "$work/korvedo.log" ] && wc -l <"$work/korvedo.log" || echo 0; }
wait_lines() {
  for _ in $(seq 1 300); do [ "$(log_lines)" -ge "$1" ] && return 0; sleep 0.1; done
  fail "the target received $(log_lines) lines, not $1"
}
# The message box (title "Tastalo") closed with Enter once it shows.
close_box() {
  local box
  box=$(window_titled Tastalo --onlyvisible) || fail "no message box"
  [ -z "${1:-}" ] || shot "$1"
  xdotool windowactivate --sync "$box" key --clearmodifiers Return
  timeout 10 bash -c 'while xdotool search --onlyvisible --name "^Tastalo$" >/dev/null 2>&1; do sleep 0.1; done' ||
    fail "the message box did not close"
}

mkdir "$work/prog"
cp "$tastalo" "$work/prog/tastalo"
# "alfa" comes before "Magazzino" only when names are compared without regard
# to case; its barcodes hold characters off an ASCII keymap.
{
  printf '7;Magazzino;M%03d\n' $(seq 1 5)
  printf '3;alfa;%s\n' 'città-€1' 'ÆØÅ-2' '8001234567890' 'Ωμέγα-4' 'x y' '' 'ß°µ'
} >"$work/liste.csv"
"$make_compact" "$work/prog/Dati.sdf" <"$work/liste.csv"
printf '[DATI]\nDataBase=%s\nFinestraPGM=Korvedo\nDelay=20\n' "$work/prog/Dati.sdf" >"$work/prog/spooling.ini"
before=$(sha256sum <"$work/prog/Dati.sdf")

"$korvedo" Korvedo "$work/korvedo.log" & pids+=($!)
window_titled Korvedo >/dev/null || fail "target window missing"
"$work/prog/tastalo" & pids+=($!)
main=$(window_titled 'Invia Dati') || fail "main window missing"
xdotool windowactivate --sync "$main"
shot main-window

# The first list in the combo is sent: alfa.
xdotool key --clearmodifiers Return
wait_lines 7
close_box send-done
expected=$(printf '%s\n' 'città-€1' 'ÆØÅ-2' '8001234567890' 'Ωμέγα-4' 'x y' '' 'ß°µ')
[ "$(cat "$work/korvedo.log")" = "$expected" ] || fail "the target received: $(cat "$work/korvedo.log")"

# Cancella, then Ok on the chosen list: refused, the file untouched.
xdotool windowactivate --sync "$main" key --clearmodifiers alt+c
dialog=$(window_titled 'Richiesta Cancellazione') || fail "no deletion dialog"
xdotool windowactivate --sync "$dialog" key --clearmodifiers Return
close_box deletion-refused
[ "$(sha256sum <"$work/prog/Dati.sdf")" = "$before" ] || fail "the Compact file was changed"

# The lists are still there: the same list goes out again.
xdotool windowactivate --sync "$main" key --clearmodifiers Return
wait_lines 14
close_box
[ "$(tail -n 7 "$work/korvedo.log")" = "$expected" ] || fail "the second send differs"
echo "1 passed, 0 failed: lists read from a Compact file, sent twice, deletion refused"
