#!/bin/bash
# Generates the benchmark inputs with genlog.py into a temporary folder, runs
# pelorin-bench, pelorin-cli and (with the GUI) pelorin-gui-bench and pelorin-view-bench on them, times `wc -l` and `gpsdecode` on the same files
# and prints the table of bench/README.md.
#
#   bench/run.sh [--short] [--inputs DIR] [--keep] [--out FILE]
#
#   --short       small inputs (a CI smoke run, well under two minutes)
#   --inputs DIR  generate into DIR and keep it; inputs already there are reused
#   --keep        keep the temporary folder
#   --out FILE    also write the table to FILE
# Environment: BUILD_DIR (default build-bench; an existing build folder keeps its
# settings), JOBS (parallel build jobs, default nproc), PYTHON (default /usr/bin/python3),
# GENLOG (default ../shared/tools/genlog.py; without it --short skips with a note).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

SHORT=0
INPUTS=""
KEEP=0
OUT=""
while [ $# -gt 0 ]; do
  case "$1" in
    --short) SHORT=1 ;;
    --inputs) INPUTS=$2; KEEP=1; shift ;;
    --inputs=*) INPUTS=${1#--inputs=}; KEEP=1 ;;
    --keep) KEEP=1 ;;
    --out) OUT=$2; shift ;;
    --out=*) OUT=${1#--out=} ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done

BUILD_DIR=${BUILD_DIR:-build-bench}
JOBS=${JOBS:-$(nproc)}
PYTHON=${PYTHON:-/usr/bin/python3}
[ -x "$PYTHON" ] || PYTHON=python3
GENLOG=${GENLOG:-$ROOT/../shared/tools/genlog.py}
if [ ! -f "$GENLOG" ]; then
  # A checkout without the shared tools (CI of a clone) has nothing to run on.
  if [ "$SHORT" = 1 ]; then
    echo "run.sh: genlog.py not found at $GENLOG: no inputs, the short run is skipped" >&2
    exit 0
  fi
  echo "run.sh: genlog.py not found at $GENLOG (set GENLOG)" >&2
  exit 1
fi

note() { echo "== $*" >&2; }

# --- tools ---------------------------------------------------------------------------
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
install_quietly() {
  { $SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq \
      --no-install-recommends "$@"; } >/dev/null 2>&1 || true
}
[ -x /usr/bin/time ] || install_quietly time
command -v gpsdecode >/dev/null 2>&1 || install_quietly gpsd-tools
GPSDECODE=$(command -v gpsdecode || true)

# --- build ---------------------------------------------------------------------------
note "building pelorin-bench and pelorin-cli in $BUILD_DIR"
# A build folder that exists keeps its settings (CI reuses its test build); a new one is
# a release build.
if [ -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -DPELORIN_BENCH=ON >/dev/null
else
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DPELORIN_BENCH=ON -DPELORIN_TESTS=OFF >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$JOBS" --target pelorin-bench pelorin-cli >/dev/null
BUILD_ABS=$(cd "$BUILD_DIR" && pwd)
BENCH=$BUILD_ABS/bench/pelorin-bench
# The window's measure needs the GUI (Qt); a build without it leaves that table out.
GUI_BENCH=""
# (The list is read whole: grep -q would end the pipe early, and pipefail would see that.)
if grep -q pelorin-gui-bench <<<"$(cmake --build "$BUILD_DIR" --target help 2>/dev/null)"; then
  cmake --build "$BUILD_DIR" -j"$JOBS" --target pelorin-gui-bench >/dev/null
  GUI_BENCH=$BUILD_ABS/bench/pelorin-gui-bench
fi
VIEW_BENCH=""
if grep -q pelorin-view-bench <<<"$(cmake --build "$BUILD_DIR" --target help 2>/dev/null)"; then
  cmake --build "$BUILD_DIR" -j"$JOBS" --target pelorin-view-bench >/dev/null
  VIEW_BENCH=$BUILD_ABS/bench/pelorin-view-bench
fi
CLI=$BUILD_ABS/pelorin-cli
CLI_READY=1
"$CLI" --help 2>/dev/null | grep -q -- "--ship-list" || CLI_READY=0

# --- inputs --------------------------------------------------------------------------
if [ "$SHORT" = 1 ]; then
  DAY_ARGS=(--hours 1 --vessels 100)
  CARD_ARGS=(--files 30 --hours 30 --vessels 10)
  HOUR_ARGS=(--hours 0.25 --vessels 100)
  DAYS3_ARGS=(--files 3 --hours 3 --vessels 100)
  PAIR_ARGS=(--hours 0.5 --vessels 100)
  TABLE_POINTS=200000
  REPETITIONS=1
  THREAD_REPETITIONS=1
  EXPORT_REPETITIONS=1
  GUI_REPETITIONS=1
  NEED_MB=200
else
  DAY_ARGS=(--hours 24 --vessels 1700)
  CARD_ARGS=(--files 30 --hours 720 --vessels 50)
  HOUR_ARGS=(--hours 1 --vessels 300)
  # A busy port for three days: 2.4 GB, about 10 million stored points.
  DAYS3_ARGS=(--files 3 --hours 72 --vessels 1700)
  # One log twice: with the transponder's GPS sentences, and as a network feed writes it.
  PAIR_ARGS=(--hours 8 --vessels 600)
  TABLE_POINTS=10000000
  REPETITIONS=3
  # 1 and 2 threads are compared on a shared machine whose speed drifts by tens of per
  # cent from minute to minute: more runs, taking turns.
  THREAD_REPETITIONS=7
  EXPORT_REPETITIONS=3
  # The window's cost is a few per cent, within the spread of single runs: more of them.
  GUI_REPETITIONS=7
  NEED_MB=5200
fi

if [ -z "$INPUTS" ]; then
  INPUTS=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-bench.XXXXXX")
fi
mkdir -p "$INPUTS"
INPUTS=$(cd "$INPUTS" && pwd)
cleanup() { [ "$KEEP" = 1 ] || rm -rf "$INPUTS"; }
trap cleanup EXIT

FREE_MB=$(df -Pm "$INPUTS" | awk 'NR==2 {print $4}')
if [ "$FREE_MB" -lt "$NEED_MB" ]; then
  echo "run.sh: $INPUTS has ${FREE_MB} MB free, the inputs need about ${NEED_MB} MB" >&2
  exit 1
fi

# Reused only when made with the same options (the stamp file records them).
generate() {
  local name=$1 seed=$2; shift 2
  local dir=$INPUTS/$name stamp="$INPUTS/$name.args"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$*" ] && ls "$dir"/*.LOG >/dev/null 2>&1; then
    note "reusing $dir"
    return
  fi
  note "generating $name: genlog.py $*"
  rm -rf "$dir"
  "$PYTHON" "$GENLOG" --out "$dir" --seed "$seed" --quiet "$@"
  echo "$*" >"$stamp"
}
generate day bench-day "${DAY_ARGS[@]}"
generate card bench-card "${CARD_ARGS[@]}"
generate hour bench-hour "${HOUR_ARGS[@]}"
generate days3 bench-days3 "${DAYS3_ARGS[@]}"
generate pair_gps bench-pair "${PAIR_ARGS[@]}"
generate pair_tag bench-pair "${PAIR_ARGS[@]}" --gps none --zda none --tagblock s
DAY_FILE=$(ls "$INPUTS"/day/*.LOG | head -1)

# Debian 12 ships gpsdecode in gpsd-clients, whose GUI dependencies we do not want:
# unpack just that package (and libgps) beside the inputs.
if [ -z "$GPSDECODE" ] && command -v apt-get >/dev/null 2>&1; then
  mkdir -p "$INPUTS/gpsd" && (
    cd "$INPUTS/gpsd" &&
    apt-get download gpsd-clients libgps28 >/dev/null 2>&1 &&
    for deb in *.deb; do dpkg-deb -x "$deb" root; done
  ) || true
  if [ -x "$INPUTS/gpsd/root/usr/bin/gpsdecode" ]; then
    export LD_LIBRARY_PATH="$INPUTS/gpsd/root/usr/lib/$(uname -m)-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
    "$INPUTS/gpsd/root/usr/bin/gpsdecode" </dev/null >/dev/null 2>&1 && GPSDECODE=$INPUTS/gpsd/root/usr/bin/gpsdecode
  fi
fi
HAVE_GPSDECODE=0
[ -n "$GPSDECODE" ] && HAVE_GPSDECODE=1
[ "$HAVE_GPSDECODE" = 1 ] || note "gpsdecode not available: that column is left out"

# --- pelorin-bench -------------------------------------------------------------------
note "running pelorin-bench"
JSON=$INPUTS/bench.json
KML_COPY=$INPUTS/SD_Belumar.kml
# Each measure is repeated; the table takes the fastest repetition (the machine is shared).
# The repetitions of all measures take turns, so that a slow spell of the machine does not
# fall on one measure alone (1 and 2 threads are compared).
"$BENCH" --day="$INPUTS/day" --card="$INPUTS/card" --hour="$INPUTS/hour" \
  --table-points="$TABLE_POINTS" --kml-copy="$KML_COPY" --benchmark_repetitions="$REPETITIONS" \
  --benchmark_enable_random_interleaving=true \
  --benchmark_out="$JSON" --benchmark_out_format=json >&2
THREADS_JSON=$INPUTS/bench-threads.json
"$BENCH" --day="$INPUTS/day" --benchmark_filter='BM_ShipListRun_Day_Thread|BM_ShipListCommand_Day_Threads' \
  --benchmark_repetitions="$THREAD_REPETITIONS" --benchmark_enable_random_interleaving=true \
  --benchmark_out="$THREADS_JSON" --benchmark_out_format=json >&2

# --- reference tools -----------------------------------------------------------------
now() { date +%s.%N; }
# Best of N wall times of a command, output discarded (warm page cache).
best_of() {
  local n=$1; shift
  local best="" t0 t1 t
  for _ in $(seq "$n"); do
    t0=$(now)
    "$@" >/dev/null 2>&1 || true
    t1=$(now)
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.6f", b - a}')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN {exit !(t < b)}'; then best=$t; fi
  done
  echo "$best"
}
gpsdecode_file() { "$GPSDECODE" <"$1" >/dev/null 2>&1 || true; }
gpsdecode_all() { cat "$@" | "$GPSDECODE" >/dev/null 2>&1 || true; }

note "timing wc -l and gpsdecode"
REF=$INPUTS/ref.txt
{
  echo "wc_day $(best_of 5 wc -l "$DAY_FILE")"
  echo "wc_card $(best_of 5 wc -l "$INPUTS"/card/*.LOG)"
  echo "wc_days3 $(best_of 3 wc -l "$INPUTS"/days3/*.LOG)"
  echo "wc_kml $(best_of 5 wc -l "$KML_COPY")"
  if [ "$HAVE_GPSDECODE" = 1 ]; then
    echo "gps_day $(best_of 1 gpsdecode_file "$DAY_FILE")"
    echo "gps_card $(best_of 1 gpsdecode_all "$INPUTS"/card/*.LOG)"
  fi
} >"$REF"

# --- peak memory ---------------------------------------------------------------------
peak_kb() {  # peak resident set of a command, in kB
  local log=$INPUTS/time.log
  ( cd "$INPUTS" && /usr/bin/time -v "$@" >/dev/null 2>"$log" ) || true
  awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$log"
}
in_inputs() { (cd "$INPUTS" && "$@"); }  # pelorin-cli writes its workbook there
note "peak memory"
{
  echo "mem_bench $(peak_kb "$BENCH" --day="$INPUTS/day" '--benchmark_filter=BM_ShipListRun_Day/')"
  echo "mem_bench1 $(peak_kb "$BENCH" --day="$INPUTS/day" '--benchmark_filter=BM_ShipListRun_Day_Threads/1/')"
  if [ "$CLI_READY" = 1 ]; then
    echo "mem_cli $(peak_kb "$CLI" --ship-list --quiet "$INPUTS/day")"
    echo "cli_day $(best_of 3 in_inputs "$CLI" --ship-list --quiet "$INPUTS/day")"
    echo "mem_cli_encounters $(peak_kb "$CLI" --ship-list --encounters --quiet "$INPUTS/day")"
    echo "mem_cli_days3 $(peak_kb "$CLI" --ship-list --quiet "$INPUTS/days3")"
    echo "cli_days3 $(best_of 3 in_inputs "$CLI" --ship-list --quiet "$INPUTS/days3")"
    # The exports of the 24-hour log against the ship-list run, taking turns.
    for i in $(seq "$EXPORT_REPETITIONS"); do
      echo "expturn_ship_$i $(best_of 1 in_inputs "$CLI" --ship-list --quiet "$INPUTS/day")"
      for f in csv gpx kmz gpkg; do
        echo "expturn_${f}_$i $(best_of 1 in_inputs "$CLI" --quiet --export "export.$f" "$INPUTS/day")"
      done
    done
    for f in csv gpx kmz gpkg; do
      echo "mem_exp_$f $(peak_kb "$CLI" --quiet --export "export.$f" "$INPUTS/day")"
      echo "size_exp_$f $(stat -c %s "$INPUTS/export.$f")"
      rm -f "$INPUTS/export.$f"
    done
    # The same traffic timed by tag blocks against GPS sentences, taking turns.
    for i in $(seq 5); do
      echo "pairturn_gps_$i $(best_of 1 in_inputs "$CLI" --ship-list --quiet "$INPUTS/pair_gps")"
      echo "pairturn_tag_$i $(best_of 1 in_inputs "$CLI" --ship-list --quiet "$INPUTS/pair_tag")"
    done
    for p in gps tag; do
      echo "pair_lines_$p $(cat "$INPUTS/pair_$p"/*.LOG | wc -l)"
      echo "pair_bytes_$p $(cat "$INPUTS/pair_$p"/*.LOG | wc -c)"
    done
    # --threads 1 against all cores, each run a new process as a user's is, taking turns
    # (which goes first alternates).
    for i in $(seq -w "$THREAD_REPETITIONS"); do
      for threads in $([ $((10#$i % 2)) = 1 ] && echo "1 all" || echo "all 1"); do
        if [ "$threads" = 1 ]; then
          echo "clithreads1_$i $(best_of 1 in_inputs "$CLI" --ship-list --quiet --threads 1 "$INPUTS/day")"
        else
          echo "clithreadsall_$i $(best_of 1 in_inputs "$CLI" --ship-list --quiet "$INPUTS/day")"
        fi
      done
    done
  fi
} >>"$REF"

# --- the window ----------------------------------------------------------------------
# Without a display the window is drawn offscreen: the same widgets paint into memory.
if [ -n "$GUI_BENCH" ]; then
  note "the window's event pump"
  GUI_PLATFORM=${QT_QPA_PLATFORM:-}
  [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || GUI_PLATFORM=offscreen
  QT_QPA_PLATFORM=$GUI_PLATFORM "$GUI_BENCH" --card="$INPUTS/day" --repetitions="$GUI_REPETITIONS" 2>/dev/null \
    | sed 's/^/plain_/' >>"$REF" || note "pelorin-gui-bench failed"
  QT_QPA_PLATFORM=$GUI_PLATFORM "$GUI_BENCH" --card="$INPUTS/day" --repetitions="$GUI_REPETITIONS" --details 2>/dev/null \
    | sed 's/^/details_/' >>"$REF" || note "pelorin-gui-bench --details failed"
  echo "gui_platform_${GUI_PLATFORM:-default} 1" >>"$REF"
fi

# The Track Replay window's frames, drawn offscreen, over the 24-hour log and the 3-day card.
if [ -n "$VIEW_BENCH" ]; then
  note "the Track Replay window"
  "$VIEW_BENCH" "$INPUTS/day" 2>/dev/null | sed 's/^/view_/' >>"$REF" || note "pelorin-view-bench failed"
  "$VIEW_BENCH" "$INPUTS/days3" 2>/dev/null | sed 's/^/view3_/' >>"$REF" || note "pelorin-view-bench (3 days) failed"
fi

# --- table ---------------------------------------------------------------------------
TABLE=$("$PYTHON" "$ROOT/bench/table.py" "$JSON" "$REF" "$INPUTS" "$SHORT" "$THREADS_JSON")
echo "$TABLE"
[ -z "$OUT" ] || echo "$TABLE" >"$OUT"
