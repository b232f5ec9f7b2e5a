#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
# in a build folder of its own and runs every test, with the same throw-away
# PostgreSQL server as run-tests.sh. Any report of either sanitizer fails the run.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/deps.sh"
export QT_QPA_PLATFORM=offscreen
build="${JX_SANITIZE_BUILD_DIR:-$here/build-sanitize}"
source "$here/tools/compiler-cache.sh"
# -O1 and line tables only (-g1: enough for the reports' file and line) keep the
# instrumented build and its run short enough for CI on two cores.
flags="-O1 -g1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DJX_BUILD_BENCH=OFF "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
# Test discovery at build time runs the instrumented programs too.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cmake --build "$build" -j"${JX_JOBS:-2}"

source "$here/tools/pg-test-server.sh"
pg_test_start
trap pg_test_stop EXIT

ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
