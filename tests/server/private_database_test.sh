#!/usr/bin/env bash
# The private database of scripts/localdb.sh: a root password of its own in a file only the
# user reads, nothing reachable without it, the data sources of others kept, and a database
# of the former fixed password converted with its race.
set -euo pipefail
localdb=$(cd "$(dirname "$0")/../.." && pwd)/scripts/localdb.sh
dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnik-private.XXXXXX")
trap '"$localdb" stop "$dir" >/dev/null 2>&1 || true; rm -rf "$dir"' EXIT
export LOCALDB_OPTS="--innodb-flush-log-at-trx-commit=0 --innodb-doublewrite=0 --skip-log-bin --innodb-buffer-pool-size=16M"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
mode() { stat -c %a "$1"; }
section() { awk -v name="[$1]" '/^\[/ { on = ($0 == name) } on && NF' "$2"; }
refused() { ! "$@" -e "SELECT 1" >/dev/null 2>&1; }
as_root() { MYSQL_PWD=$(<"$dir/root-password") mariadb --socket="$dir/mysqld.sock" -uroot -N "$@"; }

# A folder others could read, and data sources of the former version and of someone else.
chmod 755 "$dir"
cat >"$dir/odbc.ini" <<'INI'
[TarnikLocal]
PASSWORD=former

[TarnikTest]
Description=Test server (no server answers here)
PORT=9

[TarnikServer]
; written by the connection settings
Driver=MariaDB Unicode
SERVER=hq.example
  PORT=3306
SSLVERIFY=1
INI
section TarnikServer "$dir/odbc.ini" >"$dir/theirs"

"$localdb" start "$dir" | grep -q "^running pid [0-9]* socket .* port 127.0.0.1:[0-9]* odbc.ini " ||
    fail "start did not say where it runs"
[[ $(mode "$dir") == 700 ]] || fail "the folder is $(mode "$dir"), not 700"
[[ $(mode "$dir/root-password") == 600 && $(mode "$dir/odbc.ini") == 600 ]] ||
    fail "root-password $(mode "$dir/root-password"), odbc.ini $(mode "$dir/odbc.ini"), not 600"
password=$(<"$dir/root-password")
[[ $password =~ ^[A-Za-z0-9]{24}$ ]] || fail "password '$password'"
section TarnikServer "$dir/odbc.ini" | cmp -s - "$dir/theirs" || fail "TarnikServer changed: $(cat "$dir/odbc.ini")"
! grep -q "no server answers" "$dir/odbc.ini" || fail "a placeholder section stayed"
section TarnikLocal "$dir/odbc.ini" | grep -qx "PASSWORD=$password" || fail "TarnikLocal lacks the password"
[[ $(grep -c '^\[TarnikLocal\]' "$dir/odbc.ini") == 1 ]] || fail "TarnikLocal twice"

refused mariadb --socket="$dir/mysqld.sock" -uroot || fail "root without a password over the socket"
refused mariadb -h127.0.0.1 -P"$(cat "$dir/port")" -uroot || fail "root without a password over TCP"
[[ $(as_root -e "SELECT COUNT(*) FROM mysql.global_priv WHERE user = '' OR
        (user = 'root' AND host NOT IN ('localhost', '127.0.0.1', '::1'))") == 0 ]] ||
    fail "accounts without a password remain"
[[ $(echo "SELECT 'through odbc'" | ODBCINI=$dir/odbc.ini isql -b -v TarnikLocal) == *"through odbc"* ]] ||
    fail "the data source TarnikLocal does not connect"

# Stopped and started again, it keeps its password.
"$localdb" stop "$dir" >/dev/null
"$localdb" start "$dir" >/dev/null
[[ $(<"$dir/root-password") == "$password" ]] || fail "a restart changed the password"

# A database of the former version: the fixed password, marked by .password-set, no file.
former=lomvu
as_root tarnik -e "INSERT INTO tiki (tcode) VALUES ('KEPT')"
as_root -e "ALTER USER root@localhost IDENTIFIED BY '$former', root@'127.0.0.1' IDENTIFIED BY '$former',
               root@'::1' IDENTIFIED BY '$former'"
"$localdb" stop "$dir" >/dev/null
rm "$dir/root-password"
touch "$dir/.password-set"
"$localdb" start "$dir" >/dev/null
[[ -f $dir/root-password && ! -e $dir/.password-set ]] || fail "the former database was not converted"
[[ $(<"$dir/root-password") != "$password" ]] || fail "the conversion kept an old password"
refused env MYSQL_PWD=$former mariadb --socket="$dir/mysqld.sock" -uroot || fail "the former password still works"
[[ $(as_root tarnik -e "SELECT tcode FROM tiki") == KEPT ]] || fail "the race was lost"
section TarnikLocal "$dir/odbc.ini" | grep -qx "PASSWORD=$(<"$dir/root-password")" ||
    fail "TarnikLocal has not the new password"
section TarnikServer "$dir/odbc.ini" | cmp -s - "$dir/theirs" || fail "TarnikServer changed"
echo "private database: own password, folder 700, data sources kept, former database converted"
