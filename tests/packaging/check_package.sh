#!/usr/bin/env bash
# Builds the Debian package from the binaries already built and checks what it holds and
# declares. Then the unpacked package is run as installed: its launcher must start a private
# database with the sample races from the package's share folder and the program, whose main
# window must show under Xvfb.
# As root with TARNIK_INSTALL_TEST=1 (a disposable machine only: it installs system packages)
# it also installs the package with apt-get, starts the desktop entry's command the same way,
# and removes the package again, which must leave the race data in place.
#
#   check_package.sh BUILD_DIR COMMAND...   COMMAND: each program the package puts in /usr/bin
set -euo pipefail
build=$1
shift
commands=("$@")

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tarnik-package.XXXXXX")
pids=()
dbdirs=()
installed_here=0
cleanup() {
    local pid dir
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for dir in "${dbdirs[@]}"; do "$localdb" stop "$dir" >/dev/null 2>&1 || true; done
    ((installed_here)) && apt-get remove -y -qq tarnikmid >/dev/null 2>&1
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; fail "cpack did not make the package"; }
deb=$(echo "$tmp"/tarnikmid_*.deb)
[[ -f $deb ]] || fail "no package in $tmp"
echo "package $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"

# The libraries found by dpkg-shlibdeps and the run-time needs named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 libqt6sql6 libqt6sql6-odbc qt6-qpa-plugins unixodbc odbc-mariadb \
    mariadb-server-core mariadb-client libespeak-ng1 espeak-ng-data libmecab2 mecab-ipadic-utf8 \
    fonts-ipafont-gothic qt6-translations-l10n; do
    [[ ", $depends," =~ ,\ ${need}[\ ,] ]] || fail "Depends lacks $need: $depends"
done

dpkg-deb -x "$deb" "$tmp/root"
usr=$tmp/root/usr
[[ $(ls "$usr/bin") == $(printf '%s\n' "${commands[@]}" | sort) ]] ||
    fail "/usr/bin holds $(ls "$usr/bin" | tr '\n' ' '), expected ${commands[*]}"
for f in lib/tarnikmid/tarnikmid share/tarnikmid/schema.sql share/tarnikmid/sample_race.sql; do
    [[ -s $usr/$f ]] || fail "no /usr/$f"
done
desktop=$usr/share/applications/tarnikmid.desktop
grep -qx 'Name\[ja\]=中間計時' "$desktop" || fail "the desktop entry has no Japanese name"
desktop-file-validate "$desktop" || fail "the desktop entry does not pass desktop-file-validate"
launcher=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $usr/bin/$launcher ]] || fail "the desktop entry runs $launcher, which the package lacks"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -s $usr/share/icons/hicolor/256x256/apps/$icon.png ]] || fail "no icon $icon"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [[ -s $tmp/display ]] && break; sleep 0.1; done
DISPLAY=:$(cat "$tmp/display")
export DISPLAY
# A single-instance socket of this run's own: a program running elsewhere must not take the
# start over.
mkdir -m 700 "$tmp/run"
export XDG_RUNTIME_DIR=$tmp/run
unset QT_QPA_PLATFORM

# Runs a launcher with its own TARNIK_HOME until the program's main window shows, checks the
# sample races are in its database, and ends the program.
start_until_window() {
    local bin=$1 home=$2 pid windows races
    localdb=$bin/tarnikmid-localdb
    dbdirs+=("$home/db")
    TARNIK_HOME=$home "$bin/$launcher" </dev/null &
    pid=$!
    pids+=("$pid")
    timeout 90 xdotool search --sync --onlyvisible --name '^中間計時$' >/dev/null ||
        { cat "$home/launch.log" >&2; fail "$bin/$launcher: no main window"; }
    # An error box beside the main window would mean the database was not reached.
    windows=$(xdotool search --onlyvisible --pid "$pid" | wc -l)
    [[ $windows -eq 1 ]] || fail "$bin/$launcher: $windows windows shown, expected the main window alone"
    races=$("$localdb" sql "$home/db" -N -e "select count(*) from tarnik.tiki")
    [[ $races -ge 2 ]] || fail "$bin/$launcher: $races sample races loaded"
    # Without DIR, the database name after sql goes to the client, not into a new folder.
    [[ $(cd "$home" && TARNIK_HOME=$home "$localdb" sql tarnik -N -e "select count(*) from tiki") == "$races" ]] ||
        fail "$bin/$launcher: sql with the database name first"
    [[ ! -e $home/tarnik ]] || fail "$bin/$launcher: sql made a folder of the database name"
    for said in "starting the local database" "loading the sample races" "starting the program"; do
        grep -qx "$said" "$home/launch.log" || fail "$bin/$launcher did not say: $said"
    done
    kill "$pid"
    wait "$pid" || true
    "$localdb" stop "$home/db" >/dev/null
    echo "$bin/$launcher: main window shown, $races sample races"
}

start_until_window "$usr/bin" "$tmp/unpacked"

[[ ${TARNIK_INSTALL_TEST:-} == 1 ]] || exit 0
[[ $(id -u) -eq 0 ]] || fail "TARNIK_INSTALL_TEST=1 installs a package: run as root"
if dpkg-query -W -f='${Status}' tarnikmid 2>/dev/null | grep -q 'ok installed'; then
    fail "tarnikmid is installed already; this check installs and removes it, so remove it first"
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1 ||
    { cat "$tmp/apt.log"; fail "apt-get install"; }
installed_here=1
launcher=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' /usr/share/applications/tarnikmid.desktop)
start_until_window /usr/bin "$tmp/installed"
apt-get remove -y -qq tarnikmid >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; fail "apt-get remove"; }
installed_here=0
[[ -d $tmp/installed/db/data/tarnik && -f $tmp/installed/db/.sample-loaded ]] ||
    fail "removing the package took the race data"
echo "installed, started and removed; the race data stayed"
