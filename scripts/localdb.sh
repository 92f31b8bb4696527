#!/usr/bin/env bash
# A private MariaDB server in a folder of its own, for running and testing the workstation.
#
#   localdb.sh start  DIR    initialise (first time), start, create the race database, write DIR/odbc.ini
#   localdb.sh sample DIR    replace the race database's contents with the sample races
#   localdb.sh stop   DIR    stop the server
#   localdb.sh status DIR    say whether it runs, and where
#   localdb.sh sql    DIR    a mariadb client on the server (extra arguments are passed on;
#                            DIR only when it is a folder that exists: `sql tarnik -e ...`)
#
# The server listens on its socket DIR/mysqld.sock and on 127.0.0.1 only. Its root password is
# made at the first start and kept in DIR/root-password; DIR is the user's alone. The data
# source "TarnikLocal" in DIR/odbc.ini is this server; the file's other sections are kept as
# they are. Use it with ODBCINI=DIR/odbc.ini.
# LOCALDB_OPTS adds server options (the tests use it to trade durability for speed).
# Installed, this is the command tarnikmid-localdb. Without DIR it works on the server of the
# program's launcher (scripts/launch.sh): $TARNIK_HOME/db or ~/.local/share/tarnikmid/db.
set -euo pipefail
shopt -s inherit_errexit

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
# The schema and the sample races: data/ in the source tree, the package's share folder
# when installed (this script in /usr/bin).
share=$root/data
[[ -f $share/schema.sql ]] || share=$root/share/tarnikmid
# mariadbd is in /usr/sbin, which a desktop user's PATH leaves out.
PATH=$PATH:/usr/sbin
usage() { sed -n '2,16p' "$0"; exit 2; }
cmd=${1:-}
[[ -n $cmd ]] || usage
shift
# Without DIR, a client argument may follow the command at once: `sql -e "..."`, `sql tarnik`.
if [[ $# -gt 0 && $1 != -* && ($cmd != sql || -d $1) ]]; then
    dir=$1
    shift
else
    dir=${TARNIK_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/tarnikmid}/db
fi
(umask 077 && mkdir -p "$dir")
dir=$(cd "$dir" && pwd)

database=tarnik
sock=$dir/mysqld.sock
pidfile=$dir/mysqld.pid
password_file=$dir/root-password
# The one root password every private database had before each got its own (DIR/.password-set
# marks them): known only to replace it.
former_password=lomvu

# The password from the environment: a command line is visible to every user of the machine.
client() {
    MYSQL_PWD=$(<"$password_file") mariadb --socket="$sock" -uroot --default-character-set=sjis "$@"
}

running() { [[ -f $pidfile ]] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

free_port() {
    local p
    for p in $(seq 33060 33999 | shuf); do
        (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return; }
    done
    echo "no free port between 33060 and 33999" >&2
    return 1
}

initialise() {
    [[ -d $dir/data/mysql ]] && return
    local asroot=()
    [[ $(id -u) -eq 0 ]] && asroot=(--user=root)
    mariadb-install-db --datadir="$dir/data" "${asroot[@]}" --auth-root-authentication-method=normal \
        --skip-test-db >"$dir/install.log" 2>&1 || { cat "$dir/install.log" >&2; exit 1; }
    rm -f "$dir/.password-set" "$password_file"
}

# N letters and digits (N a multiple of 4): 3N/4 random bytes in base64, '+' and '/' replaced.
random_password() { head -c $(($1 * 3 / 4)) /dev/urandom | base64 | tr '+/' 'Kq'; }

# Gives root a password of this database's own (a new one, or one in place of the former
# fixed password) and drops the accounts that need none.
secure_root() {
    [[ -f $password_file ]] && return
    local pending=$password_file.new current="" password
    [[ -f $dir/.password-set ]] && current=$former_password
    [[ -s $pending ]] || (umask 077 && random_password 24 >"$pending")
    # A start cut short after the change left the pending password in force.
    MYSQL_PWD=$(<"$pending") mariadb --socket="$sock" -uroot -e "" 2>/dev/null && current=$(<"$pending")
    password=$(<"$pending")
    MYSQL_PWD=$current mariadb --socket="$sock" -uroot <<SQL
ALTER USER IF EXISTS root@localhost IDENTIFIED BY '$password', root@'127.0.0.1' IDENTIFIED BY '$password',
    root@'::1' IDENTIFIED BY '$password';
SELECT GROUP_CONCAT(CONCAT(QUOTE(user), '@', QUOTE(host))) INTO @open FROM mysql.global_priv
    WHERE user = '' OR (user = 'root' AND host NOT IN ('localhost', '127.0.0.1', '::1'));
SET @drop = IF(@open IS NULL, 'DO 0', CONCAT('DROP USER ', @open));
PREPARE dropping FROM @drop;
EXECUTE dropping;
SQL
    mv "$pending" "$password_file"
    rm -f "$dir/.password-set"
}

# Rewrites the section TarnikLocal and keeps every other line as it was, but the sections the
# former versions wrote for servers where nothing answered.
write_odbc_ini() {
    local ini=$dir/odbc.ini section
    section="[TarnikLocal]
Description=Private race database of the split-time workstation
Driver=MariaDB Unicode
SERVER=localhost
SOCKET=$sock
USER=root
PASSWORD=$(<"$password_file")
DATABASE=$database"
    touch "$ini"
    (umask 077 && section=$section awk '
        function header(line) { return line ~ /^[ \t]*\[/ }
        NR == FNR {
            if (header($0)) start = FNR
            if ($0 ~ /^Description=(Test|Race) server \(no server answers here\)[ \t\r]*$/) placeholder[start] = 1
            next
        }
        header($0) {
            skip = placeholder[FNR] || $0 ~ /^[ \t]*\[TarnikLocal\]/
            if ($0 ~ /^[ \t]*\[TarnikLocal\]/ && !written) { out[++n] = ENVIRON["section"]; out[++n] = ""; written = 1 }
        }
        !skip { out[++n] = $0 }
        END {
            while (n > 0 && out[n] ~ /^[ \t\r]*$/) n--
            if (!written) { if (n > 0) out[++n] = ""; out[++n] = ENVIRON["section"] }
            for (i = 1; i <= n; i++) print out[i]
        }' "$ini" "$ini" >"$ini.new")
    mv "$ini.new" "$ini"
}

start() {
    chmod 700 "$dir"
    initialise
    if ! running; then
        local port asroot=()
        port=$(free_port)
        [[ $(id -u) -eq 0 ]] && asroot=(--user=root)
        # shellcheck disable=SC2086
        # Temporary tables of its own: another server's start or stop never touches them.
        mkdir -p "$dir/tmp"
        setsid mariadbd --no-defaults --datadir="$dir/data" --socket="$sock" --port="$port" \
            --tmpdir="$dir/tmp" --bind-address=127.0.0.1 --pid-file="$pidfile" --log-error="$dir/server.log" \
            --character-set-server=sjis --collation-server=sjis_japanese_ci \
            --max-connections=500 "${asroot[@]}" ${LOCALDB_OPTS:-} \
            </dev/null >>"$dir/server.log" 2>&1 &
        echo "$port" >"$dir/port"
        # A ping answers even when the password is refused: the server is up.
        for _ in $(seq 1 300); do
            [[ -S $sock ]] && mariadb-admin --socket="$sock" -uroot ping >/dev/null 2>&1 && break
            sleep 0.1
        done
        [[ -S $sock ]] || { echo "the server did not start; see $dir/server.log" >&2; tail -5 "$dir/server.log" >&2; exit 1; }
    fi
    secure_root
    client -e "CREATE DATABASE IF NOT EXISTS $database CHARACTER SET sjis COLLATE sjis_japanese_ci"
    if [[ -z $(client -N -e "SHOW TABLES FROM $database LIKE 'tdc_mid'") ]]; then
        client "$database" <"$share/schema.sql"
    else
        # A race database made before stamps carried their journal id, or before actions were
        # kept by theirs.
        client "$database" -e "ALTER TABLE tdc_mid ADD COLUMN IF NOT EXISTS jid VARCHAR(40) NULL,
            ADD UNIQUE KEY IF NOT EXISTS tdc_mid_jid (jid);
            CREATE TABLE IF NOT EXISTS midaction (aid VARCHAR(40) NOT NULL,
                tcode VARCHAR(20) NOT NULL DEFAULT '', done DATETIME NOT NULL, PRIMARY KEY (aid))
                ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci"
    fi
    write_odbc_ini
    status
}

stop() {
    running || { echo "stopped"; return 0; }
    local pid
    pid=$(cat "$pidfile")
    kill "$pid"
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
    echo "stopped"
}

status() {
    if running; then
        echo "running pid $(cat "$pidfile") socket $sock port 127.0.0.1:$(cat "$dir/port") odbc.ini $dir/odbc.ini"
    else
        echo "stopped"
        return 3
    fi
}

case $cmd in
    start) start ;;
    stop) stop ;;
    status) status ;;
    sample)
        running || { echo "the server is not running" >&2; exit 1; }
        client "$database" <"$share/schema.sql"
        client "$database" <"$share/sample_race.sql"
        ;;
    sql) client "$@" ;;
    *) usage ;;
esac
