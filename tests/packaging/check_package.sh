#!/usr/bin/env bash
# Builds the Debian package from the binaries already built and checks what it holds and
# declares. Then the unpacked package is run as installed: its launcher must start a private
# database with the sample races from the package's share folder and the program, whose main
# window must show under Xvfb.
# As root with TARNIK_INSTALL_TEST=1 (a disposable machine only: it installs system packages)
# it also installs the package with apt-get, starts the desktop entry's command the same way,
# prepares a race server on the system's MariaDB with tarnikmid-server, connects a workstation
# to it with tarnikmid-connect and exports a split from it, takes the race server away again,
# and removes the package, which must leave the race data in place. The system's server is
# left running or stopped as it was found.
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
    undo_race_server >/dev/null 2>&1 || true
    put_system_server_back >/dev/null 2>&1 || true
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
[[ $(dpkg-deb -f "$deb" Suggests) == mariadb-server ]] ||
    fail "the package does not suggest mariadb-server, which tarnikmid-server prepares"

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

# The race server on the system's MariaDB: what tarnikmid-server writes there and in /etc.
race_config=/etc/mysql/mariadb.conf.d/90-tarnikmid.cnf
race_tls=/etc/mysql/tarnikmid
system_server=""      # how the system's server was found, running or stopped; empty: untouched
race_server_made=0
system_sql() { mariadb -uroot --default-character-set=utf8mb4 "$@"; }
system_server_state() {
    system_sql -N -B -e "SELECT CONCAT(user, '@', host) FROM mysql.user ORDER BY 1; SHOW DATABASES"
}
undo_race_server() {
    ((race_server_made)) || return 0
    system_sql -e "DROP USER IF EXISTS 'ws1'@'%'; DROP DATABASE IF EXISTS tarnik"
    rm -rf "$race_config" "$race_tls"
    race_server_made=0
}
put_system_server_back() {
    [[ -n $system_server ]] || return 0
    local action=stop
    [[ $system_server == running ]] && action=restart
    system_server=""
    service mariadb "$action"
}

# Prepares the race server for workstation ws1, connects as the workstation would (its own
# TARNIK_HOME, ODBCINI unset), exports a split of a race loaded at headquarters, and takes
# the race server away again.
prepare_and_reach_race_server() {
    local before found password ca connect printed home=$tmp/workstation odbc section key shown
    if service mariadb status >/dev/null 2>&1; then
        found=running
    else
        found=stopped
        service mariadb start >"$tmp/service.log" 2>&1 || { cat "$tmp/service.log"; fail "service mariadb start"; }
    fi
    system_server=$found
    before=$(system_server_state)
    [[ ! -e $race_config && ! -e $race_tls ]] ||
        fail "$race_config or $race_tls is there already; this check makes and removes them"
    ! grep -qx -e 'tarnik' -e 'ws1@%' <<<"$before" ||
        fail "the system's server has a database tarnik or an account ws1 already"

    race_server_made=1
    /usr/bin/tarnikmid-server --name 127.0.0.1 --name localhost --bind 127.0.0.1 ws1 >"$tmp/race-server.log" 2>&1 ||
        { cat "$tmp/race-server.log"; fail "tarnikmid-server"; }
    password=$(sed -n 's/^  パスワード: //p' "$tmp/race-server.log")
    ca=$(sed -n 's/^  CA ファイル: //p' "$tmp/race-server.log")
    printed=$(sed -n 's/^  コマンド: //p' "$tmp/race-server.log")
    connect=(server --host 127.0.0.1 --port 3306 --database tarnik --user ws1 --password-file ws1.password --ca "$ca")
    [[ -n $password && -s $ca && $printed == "tarnikmid-connect ${connect[*]}" ]] ||
        { cat "$tmp/race-server.log"; fail "tarnikmid-server did not print what ws1 enters"; }
    system_sql tarnik <<'SQL'
INSERT INTO tiki (tcode, syumoku, TIKIMEI) VALUES ('P1', '01', '本部試走');
INSERT INTO env (tcode, class, lapn) VALUES ('P1', '一般', 1);
INSERT INTO result (tcode, zek, bib, class1, startedtime, midtime1, midfin1) VALUES
    ('P1', '0001', '1', '一般', '09:00:00.0000', '   21:00.0', '09:21:00.0000'),
    ('P1', '0002', '2', '一般', '09:00:00.0000', '   20:00.0', '09:20:00.0000');
INSERT INTO execinfo (num, tcode) VALUES (1, 'P1');
SQL

    # The workstation runs the command tarnikmid-server printed, with the password in the
    # file it names.
    mkdir -m 700 "$home"
    (umask 077 && echo "$password" >"$home/ws1.password")
    (cd "$home" && env -u ODBCINI TARNIK_HOME="$home" /usr/bin/tarnikmid-connect "${connect[@]}") \
        >"$tmp/connect.log" 2>&1 ||
        { cat "$tmp/connect.log"; fail "tarnikmid-connect did not reach the race server"; }
    odbc=$home/db/odbc.ini
    [[ $(stat -c %a "$odbc") == 600 ]] || fail "$odbc is mode $(stat -c %a "$odbc"), not 600"
    section=$(awk '/^\[/ { in_section = $0 == "[TarnikServer]" } in_section' "$odbc")
    for key in SERVER=127.0.0.1 PORT=3306 DATABASE=tarnik USER=ws1 "PASSWORD=$password" \
        "SSLCA=$ca" SSLVERIFY=1 FORCETLS=1; do
        grep -qxF "$key" <<<"$section" || fail "[TarnikServer] in $odbc lacks $key: $section"
    done
    shown=$(env -u ODBCINI TARNIK_HOME="$home" /usr/bin/tarnikmid-connect server --show) ||
        fail "tarnikmid-connect server --show"
    for key in "ホスト: 127.0.0.1" "アカウント: ws1" "CA ファイル: $ca"; do
        grep -qxF "$key" <<<"$shown" || fail "tarnikmid-connect --show lacks $key: $shown"
    done
    [[ $shown != *"$password"* ]] || fail "tarnikmid-connect --show shows the password"

    env -u ODBCINI TARNIK_HOME="$home" /usr/bin/tarnikmid-export --dsn TarnikServer --split 1 \
        --out "$home/split1.csv" || fail "tarnikmid-export from TarnikServer"
    {
        printf '\xEF\xBB\xBF'
        printf '%s\r\n' "ビブNo.,登録ビブNo.,クラス,中間,タイム,時刻,順位,クラス内順位,同着,関門後" \
            '"=""0002""","=""2""",一般,1,20:00.0,09:20:00.0000,1,1,,' \
            '"=""0001""","=""1""",一般,1,21:00.0,09:21:00.0000,2,2,,'
    } >"$tmp/split1.csv"
    cmp -s "$tmp/split1.csv" "$home/split1.csv" ||
        fail "tarnikmid-export wrote $(cat "$home/split1.csv")"
    echo "race server prepared on the system's MariaDB; ws1 connected through TLS ($(cat "$tmp/connect.log")) and exported split 1"

    undo_race_server
    [[ $(system_server_state) == "$before" ]] || fail "the system's server kept what the race server made"
    put_system_server_back >"$tmp/service.log" 2>&1 || { cat "$tmp/service.log"; fail "service mariadb back to $found"; }
    if [[ $found == running ]]; then
        [[ $(system_sql -N -B -e "SELECT @@require_secure_transport") == 0 ]] ||
            fail "the system's server still requires TLS after its restart"
    else
        ! service mariadb status >/dev/null 2>&1 || fail "the system's server runs still"
    fi
    echo "race server taken away; the system's server is $found again"
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
prepare_and_reach_race_server
apt-get remove -y -qq tarnikmid >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; fail "apt-get remove"; }
installed_here=0
[[ -d $tmp/installed/db/data/tarnik && -f $tmp/installed/db/.sample-loaded ]] ||
    fail "removing the package took the race data"
echo "installed, started and removed; the race data stayed"
