#!/bin/bash
# Builds the libFuzzer targets (clang 14, ASan + UBSan) into build-fuzz/ (or
# $FUZZ_BUILD_DIR) and runs each, one after the other, for a bounded time (default 60 s),
# starting from its seed corpus in fuzz/corpus/<target>/. Exits nonzero when any target
# crashes, hangs or breaks one of its checks; the input that did it is kept in
# $FUZZ_BUILD_DIR/fuzz-artifacts/<target>/.
#   scripts/fuzz.sh [seconds per target] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
PER_TARGET=${1:-60}
shift || true
"$PWD/scripts/setup.sh"
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DPELORIN_FUZZ=ON -DPELORIN_GUI=OFF -DPELORIN_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/fuzz_*.cpp; do
    name=$(basename "$src" .cpp)
    targets+=("${name#fuzz_}")
  done
fi

# Longest inputs: a sentence or payload for the codec targets, a few hundred lines else.
max_len() {
  case "$1" in
    nmea | ais) echo 4096 ;;
    *) echo 65536 ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
passed=0
failed=0
for target in "${targets[@]}"; do
  work="$BUILD_DIR/fuzz-work/$target"
  artifacts="$BUILD_DIR/fuzz-artifacts/$target"
  log="$BUILD_DIR/fuzz-logs/$target.log"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  start=$(date +%s)
  # The working corpus grows in the build directory; the committed seeds stay as they are.
  if "$BUILD_DIR/fuzz/fuzz_$target" "$work" "fuzz/corpus/$target" -max_total_time="$PER_TARGET" \
      -timeout=25 -rss_limit_mb=4096 -max_len="$(max_len "$target")" -print_final_stats=1 \
      -artifact_prefix="$artifacts/" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "fuzz_$target: clean, ${runs:-?} executions in $(($(date +%s) - start)) s"
    passed=$((passed + 1))
  else
    echo "fuzz_$target: FAILED after $(($(date +%s) - start)) s; log $log, input in $artifacts/" >&2
    grep -m1 -E "ERROR: |runtime error|invariant failed|not well-formed" "$log" >&2 || tail -20 "$log" >&2
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
