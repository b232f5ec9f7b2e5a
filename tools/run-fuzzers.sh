#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in a build folder of their own and runs each
# for SECONDS seconds (default 60), one after the other, starting from its
# seed corpus in fuzz/corpus/. New inputs go to the build folder's corpus,
# crashes to its artifacts folder. Exit status 1 when any target failed.
#   tools/run-fuzzers.sh [SECONDS] [TARGET...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/deps.sh"
command -v clang++ >/dev/null || { echo "run-fuzzers: clang++ is missing (apt-get install clang)"; exit 2; }
seconds="${1:-60}"; shift || true
build="${JX_FUZZ_BUILD_DIR:-$here/build-fuzz}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g" \
    -DCMAKE_CXX_COMPILER=clang++ -DJX_FUZZ=ON "${launcher[@]}" >/dev/null
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(xml config ratefile typelib registry sql b64 archive cmdline pilot)
cmake --build "$build" -j"${JX_JOBS:-2}" --target $(printf 'fuzz_%s ' "${targets[@]}")

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"; artifacts="$build/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  echo "== fuzz_$t for ${seconds}s"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$here/fuzz/corpus/$t" \
      >"$build/fuzz_$t.log" 2>&1; then
    failed=1
    echo "fuzz_$t FAILED: see $build/fuzz_$t.log and $artifacts/"
  fi
  grep -E "^(#[0-9]+\s+DONE|stat::number_of_executed_units|stat::peak_rss_mb)|cov:" "$build/fuzz_$t.log" | tail -n 4 || true
done
exit $failed
