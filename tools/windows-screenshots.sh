#!/usr/bin/env bash
# Takes the README's Windows screenshots: the Windows build's tastalo.exe
# under Wine on a private Xvfb (tests/support/wine_session.sh, whose prefix
# has Liberation Sans, metric-compatible with Arial), in a program folder
# C:\Tastalo with the demo lists made by tastalo-makedb.exe, as LEGGIMI.txt
# tells the operator.
#
#   tools/windows-screenshots.sh BUILD_DIR WORK_DIR [OUT_DIR]
#
# BUILD_DIR is a build of scripts/build-windows.sh (with --arch win64 on a
# machine that runs no 32-bit code, where Wine cannot start the 32-bit
# program); WORK_DIR keeps the Wine prefix; OUT_DIR is
# docs/screenshots/windows unless given. Look at the pictures before
# committing them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=${3:-$top/docs/screenshots/windows}
source "$top/tests/support/wine_session.sh"
wine_script_folders "$top" "$2"
wine_session_fail() {
  echo "windows-screenshots: $*" >&2
  exit 1
}
trap wine_session_stop EXIT
wine_session_start "$work_dir"
mkdir -p "$out"
# The program asks for Arial; Wine finds Liberation Sans but would not take
# it for Arial (it falls back to a serif font) without this replacement.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1 ||
  wine_session_fail "could not have Wine take Liberation Sans for Arial"

folder="$WINEPREFIX/drive_c/Tastalo"
rm -rf "$folder"
mkdir -p "$folder"
cp "$build/tastalo.exe" "$build/tools/tastalo-makedb.exe" "$folder/"
(cd "$folder" && wine tastalo-makedb.exe --demo Dati.sdf >/dev/null)

# A window of the program once it is on the screen. Nothing tells from
# outside when Wine has painted it: a short pause before each picture.
window() { timeout 60 xdotool search --sync --onlyvisible "$@" | head -n1; }
shot() {
  sleep 1
  import -window "$1" "$out/$2.png"
}

(cd "$folder" && exec wine 'C:\Tastalo\tastalo.exe' >"$work_dir/tastalo.log" 2>&1) &
splash=$(window --class tastalo.exe)
shot "$splash" splash

main=$(window --name '^Invia Dati$')
shot "$main" main-window

# The deletion dialog over the main window, cut to the main window.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool key alt+c
window --name '^Richiesta Cancellazione$' >/dev/null
sleep 1
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/deletion.png"
xdotool key Escape

xdotool key alt+f i
settings=$(window --name '^Impostazioni$')
shot "$settings" settings
echo "screenshots in $out"
