#!/usr/bin/env bash
# Installs what is missing, builds, starts the private local race database (with the sample
# races the first time; the data stays between runs) and starts the workstation.
#   TARNIK_HOME   folder for the database and the working folder (default ~/.local/share/tarnikmid)
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh
echo "building, the first time takes a few minutes"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tarnikmid

TARNIK_PROGRAM=$root/build/app/tarnikmid exec scripts/launch.sh "$@"
