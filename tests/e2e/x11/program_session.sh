# Sourced by the end-to-end scripts that run the whole program: a work folder
# removed at exit with every process listed in pids, fail, and window_titled.
# The caller names its work folder: program_session NAME.
program_session() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  pids=()
  trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
}
fail() { echo "FAIL: $*" >&2; exit 1; }
# The window titled exactly $1, once there is one (30 s at most). xdotool's
# search ends with an X error when a window vanishes while it looks (the
# splash screen closing), so it is started again then. --onlyvisible as $2
# skips windows that exist unmapped (a message box's title is also the
# program's).
window_titled() {
  timeout 30 bash -c 'until xdotool search ${2:-} --sync --limit 1 --name "$1" 2>/dev/null; do sleep 0.1; done' \
    _ "^$1\$" "${2:-}"
}
