#!/usr/bin/env bash
# Builds everything and runs every test. Starts a throw-away PostgreSQL server
# on loopback for the database tests and stops it afterwards.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/deps.sh"
# Test discovery at build time starts the test programs too: no display needed.
export QT_QPA_PLATFORM=offscreen
build="${JX_BUILD_DIR:-$here/build}"
source "$here/tools/compiler-cache.sh"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j2

source "$here/tools/pg-test-server.sh"
pg_test_start
trap pg_test_stop EXIT

ctest --test-dir "$build" --output-on-failure -j2 --timeout 120
