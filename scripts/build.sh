#!/bin/bash
# Configures and builds Pelorin into build/ (or $BUILD_DIR). Arguments go to the build
# tool: `build.sh --target programs` builds the programs without the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/setup.sh"
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_EXTRA:-} >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" "$@"
