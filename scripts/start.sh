#!/bin/bash
# Builds Pelorin's programs (not the tests) and starts it. Without a display it runs the
# headless job on the bundled sample card instead and says where the document went.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
"$ROOT/scripts/build.sh" --target programs
BUILD_DIR=${BUILD_DIR:-build}
if [ -x "$BUILD_DIR/pelorin" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  # run/ holds the help pages the build rendered; Pelorin.ini and the outputs go there too.
  PROGRAM="$(cd "$BUILD_DIR" && pwd)/pelorin"
  cd "$BUILD_DIR/run"
  exec "$PROGRAM"
fi
echo "No display found: running pelorin-cli on the sample card $ROOT/samples/" >&2
exec "$BUILD_DIR/pelorin-cli" "$ROOT/samples"
