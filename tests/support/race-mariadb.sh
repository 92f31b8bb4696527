#!/usr/bin/env bash
# A plain MariaDB server in a test's folder, for RaceServer: DIR/my.cnf (written by the test)
# names its port and folders and includes DIR/tarnikmid.cnf, which tarnikmid-server writes.
#
#   race-mariadb.sh start|stop|restart DIR
set -euo pipefail
cmd=$1
dir=$2
PATH=$PATH:/usr/sbin
pidfile=$dir/mysqld.pid

running() { [[ -f $pidfile ]] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

start() {
    local asroot=()
    [[ $(id -u) -eq 0 ]] && asroot=(--user=root)
    mkdir -p "$dir/tmp"
    touch "$dir/tarnikmid.cnf"
    if [[ ! -d $dir/data/mysql ]]; then
        mariadb-install-db --defaults-file="$dir/my.cnf" "${asroot[@]}" \
            --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1 ||
            { cat "$dir/install.log" >&2; exit 1; }
    fi
    setsid mariadbd --defaults-file="$dir/my.cnf" "${asroot[@]}" </dev/null >>"$dir/server.log" 2>&1 &
    local pid=$!
    for _ in $(seq 1 600); do
        mariadb-admin --defaults-file="$dir/my.cnf" ping >/dev/null 2>&1 && return
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "the server did not start:" >&2
    tail -5 "$dir/server.log" >&2
    exit 1
}

stop() {
    running || return 0
    local pid
    pid=$(cat "$pidfile")
    kill "$pid"
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
}

case $cmd in
    start) start ;;
    stop) stop ;;
    restart) stop && start ;;
    *) echo "usage: race-mariadb.sh start|stop|restart DIR" >&2; exit 2 ;;
esac
