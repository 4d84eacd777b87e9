#!/bin/bash
# Builds the whole project (windows and tests too) with g++ under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ (or $BUILD_DIR) and runs every test, the
# window tests offscreen. Any sanitizer report fails the test that caused it. Leak
# checking stays on; only leaks inside the Qt and font libraries are suppressed.
#
#   scripts/test-sanitized.sh --thread   the log pass's tests (and the runs and the
#                                        command line that use it) under ThreadSanitizer,
#                                        built into build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/setup.sh"
JOBS=${JOBS:-$(nproc)}
if [ "${1:-}" = --thread ]; then
  BUILD_DIR=${BUILD_DIR:-build-tsan}
  export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DPELORIN_TSAN=ON \
    -DPELORIN_GUI=OFF >/dev/null
  cmake --build "$BUILD_DIR" -j"$JOBS" --target test_analysis test_cli pelorin-cli
  ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$JOBS" --timeout 900 \
    -R '^(LogPass|ParallelPass|PieceFeed|AnalysisRun|Hostile|FuzzFinding|CliThreads|CliGolden)'
  exit 0
fi
BUILD_DIR=${BUILD_DIR:-build-asan}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan-qt.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DPELORIN_SANITIZE=ON \
  >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$JOBS" --timeout 600
