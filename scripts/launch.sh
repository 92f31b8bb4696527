#!/usr/bin/env bash
# Starts the workstation the way an operator uses it: the private race database in
# $TARNIK_HOME/db (with the sample races the first time), then the program in the working
# folder $TARNIK_HOME/work, where it keeps TarnikMid.ini. TARNIK_HOME defaults to
# ~/.local/share/tarnikmid. ./run.sh calls it for the built program; the package installs it
# as the command `tarnikmid`, which the desktop entry runs.
#   TARNIK_PROGRAM   the program to start (default: the installed one, ../lib/tarnikmid/tarnikmid)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${TARNIK_PROGRAM:-$here/../lib/tarnikmid/tarnikmid}
localdb=$here/localdb.sh
[[ -x $localdb ]] || localdb=$here/tarnikmid-localdb

home=${TARNIK_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/tarnikmid}
mkdir -p "$home/work"
# Started from the desktop menu nobody reads the terminal: keep what is said for later.
[[ -t 2 ]] || exec >>"$home/launch.log" 2>&1

# The program starts even when its private database does not: a race server may be the
# choice, and a timing window opens from its copy of the race. It shows why on screen.
cannot() {
    echo "$2"
    export TARNIK_LAUNCH_PROBLEM="$1
$(tail -n 5 <<<"$2")
（詳しくは $home/launch.log と $home/db/server.log）"
}
echo "starting the local database"
if ! said=$("$localdb" start "$home/db" 2>&1); then
    cannot "ローカルデータベースを起動できませんでした。" "$said"
else
    echo "$said"
    if [[ ! -f $home/db/.sample-loaded ]]; then
        echo "loading the sample races"
        if said=$("$localdb" sample "$home/db" 2>&1); then
            touch "$home/db/.sample-loaded"
        else
            cannot "サンプルのレースを読み込めませんでした。" "$said"
        fi
    fi
fi

# The program finds its data sources through unixODBC's user file and keeps TarnikMid.ini
# in its working folder.
export ODBCINI=$home/db/odbc.ini
cd "$home/work"
echo "starting the program"
exec "$program" "$@"
