#!/usr/bin/env bash
# Installs what is missing, builds, starts the private local race database (with the sample
# races the first time; the data stays between runs) and starts the workstation.
#   TARNIK_HOME   folder for the database and the working folder (default ~/.local/share/tarnikmid)
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tarnikmid

home=${TARNIK_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/tarnikmid}
mkdir -p "$home/work"
scripts/localdb.sh start "$home/db"
if [[ ! -f $home/db/.sample-loaded ]]; then
    scripts/localdb.sh sample "$home/db"
    touch "$home/db/.sample-loaded"
fi

# The program finds its data sources through unixODBC's user file and keeps TarnikMid.ini
# in its working folder.
export ODBCINI=$home/db/odbc.ini
cd "$home/work"
exec "$root/build/app/tarnikmid" "$@"
