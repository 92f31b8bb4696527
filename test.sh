#!/usr/bin/env bash
# Installs what is missing, builds, starts a private MariaDB server in a temporary folder,
# runs every test through CTest and stops the server. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

dbdir=$(mktemp -d "${TMPDIR:-/tmp}/tarnik-test-db.XXXXXX")
cleanup() {
    scripts/localdb.sh stop "$dbdir" >/dev/null 2>&1 || true
    rm -rf "$dbdir"
}
trap cleanup EXIT

# Test databases are thrown away: no need to flush every commit to disk.
LOCALDB_OPTS="--innodb-flush-log-at-trx-commit=0 --innodb-doublewrite=0 --skip-log-bin" \
    scripts/localdb.sh start "$dbdir"
export ODBCINI=$dbdir/odbc.ini
export TARNIK_TEST_DB_DIR=$dbdir
export QT_QPA_PLATFORM=offscreen

start=$(date +%s)
status=0
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300 "$@" || status=$?
echo "test run took $(( $(date +%s) - start )) s"
exit $status
