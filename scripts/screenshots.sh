#!/bin/bash
# Builds the screenshot tool and saves PNG pictures of Pelorin's windows (main window with
# the details pane hidden and shown, the notices, the help window, the About box, the
# ship list and the Track Replay window: track-view.png at the middle of the span with
# 10-minute trails, track-view-all.png with every track, track-view-density.png as a
# density map; reception-range.png, the polar diagram of the reception range), taken
# offscreen after opening a card (the sample card by default). No display is needed.
#   scripts/screenshots.sh [OUTDIR [CARD]]     (default: build/screenshots, samples/)
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/setup.sh"
BUILD_DIR=${BUILD_DIR:-build}
OUT=${1:-$BUILD_DIR/screenshots}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_EXTRA:-} >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target pelorin-screenshots
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/pelorin-screenshots" "$OUT" "${2:-$PWD/samples}"
