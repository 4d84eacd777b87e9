#!/bin/bash
# Generates the benchmark inputs with genlog.py into a temporary folder, runs
# pelorin-bench and pelorin-cli on them, times `wc -l` and `gpsdecode` on the same files
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
  echo "run.sh: genlog.py not found at $GENLOG (set GENLOG)" >&2
  # A checkout without the shared tools (CI of a clone) has nothing to run on.
  [ "$SHORT" = 1 ] && exit 0
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
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DPELORIN_BENCH=ON -DPELORIN_GUI=OFF >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$JOBS" --target pelorin-bench pelorin-cli >/dev/null
BUILD_ABS=$(cd "$BUILD_DIR" && pwd)
BENCH=$BUILD_ABS/bench/pelorin-bench
CLI=$BUILD_ABS/pelorin-cli
CLI_READY=1
"$CLI" --help 2>/dev/null | grep -q -- "--ship-list" || CLI_READY=0

# --- inputs --------------------------------------------------------------------------
if [ "$SHORT" = 1 ]; then
  DAY_ARGS=(--hours 1 --vessels 100)
  CARD_ARGS=(--files 30 --hours 30 --vessels 10)
  HOUR_ARGS=(--hours 0.25 --vessels 100)
  TABLE_POINTS=200000
  REPETITIONS=1
  NEED_MB=200
else
  DAY_ARGS=(--hours 24 --vessels 1700)
  CARD_ARGS=(--files 30 --hours 720 --vessels 50)
  HOUR_ARGS=(--hours 1 --vessels 300)
  TABLE_POINTS=10000000
  REPETITIONS=3
  NEED_MB=2600
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
"$BENCH" --day="$INPUTS/day" --card="$INPUTS/card" --hour="$INPUTS/hour" \
  --table-points="$TABLE_POINTS" --kml-copy="$KML_COPY" --benchmark_repetitions="$REPETITIONS" \
  --benchmark_out="$JSON" --benchmark_out_format=json >&2

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
  if [ "$CLI_READY" = 1 ]; then
    echo "mem_cli $(peak_kb "$CLI" --ship-list --quiet "$INPUTS/day")"
    echo "cli_day $(best_of 3 in_inputs "$CLI" --ship-list --quiet "$INPUTS/day")"
  fi
} >>"$REF"

# --- table ---------------------------------------------------------------------------
TABLE=$("$PYTHON" - "$JSON" "$REF" "$INPUTS" "$SHORT" <<'EOF'
import json, os, sys, platform, subprocess
bench = json.load(open(sys.argv[1]))
ref = dict(l.split() for l in open(sys.argv[2]) if len(l.split()) == 2)
ref = {k: float(v) for k, v in ref.items() if v}
inputs, short = sys.argv[3], sys.argv[4] == "1"
runs = {}
for b in bench["benchmarks"]:
    if b.get("run_type") != "iteration" or "error_occurred" in b:
        continue
    name = b["name"].replace("/real_time", "")
    if name not in runs or b["real_time"] < runs[name]["real_time"]:
        runs[name] = b

def size(d):
    fs = [os.path.join(inputs, d, f) for f in os.listdir(os.path.join(inputs, d)) if f.endswith(".LOG")]
    return sum(os.path.getsize(f) for f in fs), max(os.path.getsize(f) for f in fs)

def secs(b, key="real_time"):
    return b[key] / {"ns": 1e9, "us": 1e6, "ms": 1e3, "s": 1}[b["time_unit"]]

rows = []
def row(label, name, wc=None, gps=None, target=None):
    b = runs.get(name)
    if b is None:
        rows.append(f"| {label} | not run | | | | | | |")
        return
    t = secs(b)
    r_wc = f"{t / ref[wc]:.1f}×" if wc in ref else "–"
    r_gps = f"{ref[gps] / t:.1f}× faster" if gps in ref else "–"
    rows.append(f"| {label} | {t:.3f} s | {secs(b, 'cpu_time'):.3f} s | {b['MB']:.0f} MB/s | "
                f"{b['lines'] / 1e6:.2f} M/s | {r_wc} | {r_gps} | {target or ''} |")

day_bytes, _ = size("day")
card_bytes, card_largest = size("card")
row("Scan, 30-day card", "BM_Scan_Card", "wc_card", "gps_card", "≤ 2× wc -l")
row("Scan, 24-hour log", "BM_Scan_Day", "wc_day", "gps_day")
row("Log pass alone, 24-hour file (counts, then walks)", "BM_LogPass_Day", "wc_day", "gps_day")
row("Log pass, lines in memory", "BM_LogPassLines_Day", "wc_day", "gps_day")
row("Ship-list run, 24-hour log", "BM_ShipListRun_Day", "wc_day", "gps_day", "≤ 10× wc -l (stretch 5×)")
row("Ship-list run, 30-day card", "BM_ShipListRun_Card", "wc_card", "gps_card")
row("KML writer, 1 h / 300 vessels (document)", "BM_KmlWriter_Hour", "wc_kml", None, "≥ 300 MB/s")
if "cli_day" in ref:
    t = ref["cli_day"]
    r = f"{t / ref['wc_day']:.1f}×" if "wc_day" in ref else "–"
    g = f"{ref['gps_day'] / t:.1f}× faster" if "gps_day" in ref else "–"
    rows.append(f"| pelorin-cli --ship-list, 24-hour log (end to end) | {t:.3f} s | | {day_bytes / t / 1e6:.0f} MB/s | | {r} | {g} | |")
else:
    rows.append("| pelorin-cli --ship-list, 24-hour log (end to end) | not measured (pelorin-cli not ready) | | | | | | |")

out = []
out.append(f"Machine: {platform.processor() or platform.machine()}, {os.cpu_count()} cores, "
           f"load average {os.getloadavg()[0]:.1f}; inputs: {'short' if short else 'full'}; "
           f"24-hour log {day_bytes / 1e6:.0f} MB, card {card_bytes / 1e6:.0f} MB in 30 files.")
out.append("")
out.append("| Measure | Time | CPU | MB/s | lines/s | ÷ wc -l time | vs gpsdecode | Target |")
out.append("|---|---|---|---|---|---|---|---|")
out += rows
ref_line = "wc -l: " + ", ".join(f"{k[3:]} {v:.3f} s" for k, v in ref.items() if k.startswith("wc_"))
if "gps_day" in ref:
    ref_line += f"; gpsdecode: 24-hour log {ref['gps_day']:.1f} s ({day_bytes / ref['gps_day'] / 1e6:.1f} MB/s)"
out.append("")
out.append(ref_line + ".")

# Peak memory against 1.3 x largest file + 100 bytes per stored point.
run = runs.get("BM_ShipListRun_Day")
if run is not None:
    points = run["points"]
    limit = 1.3 * day_bytes + 100 * points
    out.append("")
    out.append("| Peak memory, ship-list run of the 24-hour log | MB | ÷ (1.3 × file + 100 B × points) |")
    out.append("|---|---|---|")
    for key, label in (("mem_bench", "pelorin-bench, the run alone"), ("mem_cli", "pelorin-cli --ship-list")):
        if key in ref:
            kb = ref[key]
            out.append(f"| {label} | {kb / 1024:.0f} | {kb * 1024 / limit:.2f} |")
        elif key == "mem_cli":
            out.append(f"| {label} | not measured (pelorin-cli not ready) | |")
    out.append("")
    out.append(f"Limit: 1.3 × {day_bytes / 1e6:.0f} MB + 100 B × {points / 1e6:.2f} M points = {limit / 1e6:.0f} MB.")

# Linearity of the ship table.
table = sorted((b for n, b in runs.items() if n.startswith("BM_ShipTable/")), key=lambda b: b["points"])
if table:
    out.append("")
    out.append("| Ship table | vessels | points | time | ns per point |")
    out.append("|---|---|---|---|---|")
    for b in table:
        out.append(f"| | {b['vessels']:.0f} | {b['points'] / 1e6:.2f} M | {secs(b):.3f} s | {secs(b) / b['points'] * 1e9:.0f} |")
print("\n".join(out))
EOF
)
echo "$TABLE"
[ -z "$OUT" ] || echo "$TABLE" >"$OUT"
