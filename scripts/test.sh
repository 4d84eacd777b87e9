#!/bin/bash
# Builds Pelorin and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/build.sh"
BUILD_DIR=${BUILD_DIR:-build}
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
