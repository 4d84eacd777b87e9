#!/bin/bash
# Builds the screenshot tool and saves PNG pictures of Pelorin's windows (main window with
# the details pane hidden and shown, the notices, the help window, the About box and the
# ship list), taken offscreen after opening the sample card. No display is needed.
#   scripts/screenshots.sh [OUTDIR]     (default: build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/setup.sh"
BUILD_DIR=${BUILD_DIR:-build}
OUT=${1:-$BUILD_DIR/screenshots}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_EXTRA:-} >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target pelorin-screenshots
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/pelorin-screenshots" "$OUT" "$PWD/samples"
