#!/usr/bin/env bash
# The launcher whose private database cannot start: it must not end silently. The program
# still starts, says why in a box on screen, and its main window follows once the box is
# answered.
#   launcher_without_database.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=display.sh
source "$(dirname "$0")/display.sh"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tarnik-launcher.XXXXXX")
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [[ -f $tmp/home/launch.log ]] && tail -20 "$tmp/home/launch.log" >&2
    exit 1
}

# The database folder cannot be made: a file stands where it should be.
mkdir -p "$tmp/home"
echo "not a folder" >"$tmp/home/db"

# What the program is told, through a stand-in that notes it and ends.
cat >"$tmp/program" <<'STUB'
#!/usr/bin/env bash
printf '%s' "$TARNIK_LAUNCH_PROBLEM" >"$TARNIK_HOME/told"
STUB
chmod +x "$tmp/program"
TARNIK_HOME=$tmp/home TARNIK_PROGRAM=$tmp/program "$root/scripts/launch.sh" </dev/null ||
    fail "the launcher ended with an error instead of starting the program"
grep -q "ローカルデータベースを起動できませんでした" "$tmp/home/told" ||
    fail "the program was not told why: $(cat "$tmp/home/told" 2>/dev/null)"
grep -q "launch.log" "$tmp/home/told" || fail "the notice does not say where to read more"

# The real program shows it.
start_display
TARNIK_HOME=$tmp/home TARNIK_PROGRAM=$build/app/tarnikmid "$root/scripts/launch.sh" </dev/null &
pids+=($!)
box=$(window '^エラー$') || fail "no box said why"
# The launcher's notice, then the data module's own failure; then the main window.
for _ in 1 2 3 4; do
    box=$(timeout 3 xdotool search --onlyvisible --name '^エラー$' | head -1) || break
    [[ -n $box ]] || break
    xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
    sleep 0.5
done
window '^中間計時' >/dev/null || fail "no main window after the notice"
echo "ok"
