#!/usr/bin/env python3
"""The table of bench/README.md from pelorin-bench's JSON and run.sh's reference times.

   table.py BENCH_JSON REF_TXT INPUTS SHORT(0|1) [THREADS_JSON]

THREADS_JSON: more runs of 1 and 2 threads, taking turns; the rows take the fastest of
both files, and the comparison also gives the ratio of the medians.
"""
import json, os, statistics, sys, platform, subprocess
bench = json.load(open(sys.argv[1]))
extra = json.load(open(sys.argv[5]))["benchmarks"] if len(sys.argv) > 5 and os.path.exists(sys.argv[5]) else []
ref = dict(l.split() for l in open(sys.argv[2]) if len(l.split()) == 2)
ref = {k: float(v) for k, v in ref.items() if v}
inputs, short = sys.argv[3], sys.argv[4] == "1"
runs, times, pair_ratios = {}, {}, []
for b in bench["benchmarks"] + extra:
    if b.get("run_type") != "iteration" or "error_occurred" in b:
        continue
    name = b["name"].replace("/real_time", "")
    if name.startswith("BM_ShipListRun_Day_ThreadPair"):
        pair_ratios.append(b["ratio"])
        continue
    times.setdefault(name, []).append(b["real_time"])
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

def against_one(label, name, target=""):
    """2 threads against 1 of the measure `name` (with /1 and /2): fastest and medians."""
    if name + "/1" not in runs or name + "/2" not in runs:
        return
    one, two = secs(runs[name + "/1"]), secs(runs[name + "/2"])
    n1, n2 = times[name + "/1"], times[name + "/2"]
    median = statistics.median(n1) / statistics.median(n2)
    rows.append(f"| {label}, 2 threads against 1 | {one / two:.2f}× faster (fastest of {len(n1)} and "
                f"{len(n2)} runs; medians {median:.2f}×) | | | | | | {target}".rstrip() + " |")

day_bytes, _ = size("day")
card_bytes, card_largest = size("card")
row("Scan, 30-day card", "BM_Scan_Card", "wc_card", "gps_card", "≤ 2× wc -l")
row("Scan, 24-hour log", "BM_Scan_Day", "wc_day", "gps_day")
row("Log pass alone, 24-hour file (counts, then walks)", "BM_LogPass_Day", "wc_day", "gps_day")
row("Log pass, lines counted before", "BM_LogPassCounted_Day", "wc_day", "gps_day")
row("Ship-list run, 24-hour log", "BM_ShipListRun_Day", "wc_day", "gps_day", "≤ 10× wc -l (stretch 5×)")
row("Ship-list run, 24-hour log, 1 thread", "BM_ShipListRun_Day_Threads/1", "wc_day", "gps_day")
row("Ship-list run, 24-hour log, 2 threads", "BM_ShipListRun_Day_Threads/2", "wc_day", "gps_day",
    "≤ 10× wc -l, ≥ 1.6× faster than 1 thread")
against_one("Ship-list run", "BM_ShipListRun_Day_Threads", "≥ 1.6×")
row("\"Excel\" command alone (card opened before), 1 thread", "BM_ShipListCommand_Day_Threads/1", "wc_day", "gps_day")
row("\"Excel\" command alone (card opened before), 2 threads", "BM_ShipListCommand_Day_Threads/2", "wc_day", "gps_day")
against_one("\"Excel\" command alone", "BM_ShipListCommand_Day_Threads")
if pair_ratios:
    rows.append(f"| Ship-list run, 2 threads against 1, runs in pairs back to back | "
                f"{statistics.median(pair_ratios):.2f}× faster (median of {len(pair_ratios)} pairs; "
                f"{min(pair_ratios):.2f}–{max(pair_ratios):.2f}×) | | | | | | ≥ 1.6× |")
row("Ship-list run, 30-day card", "BM_ShipListRun_Card", "wc_card", "gps_card")
row("KML writer, 1 h / 300 vessels (document)", "BM_KmlWriter_Hour", "wc_kml", None, "≥ 300 MB/s")
if "cli_day" in ref:
    t = ref["cli_day"]
    r = f"{t / ref['wc_day']:.1f}×" if "wc_day" in ref else "–"
    g = f"{ref['gps_day'] / t:.1f}× faster" if "gps_day" in ref else "–"
    rows.append(f"| pelorin-cli --ship-list, 24-hour log (end to end) | {t:.3f} s | | {day_bytes / t / 1e6:.0f} MB/s | | {r} | {g} | |")
else:
    rows.append("| pelorin-cli --ship-list, 24-hour log (end to end) | not measured (pelorin-cli not ready) | | | | | | |")
# pelorin-cli with --threads 1 and with all cores, runs taking turns: each a new process, as
# a user's run is, whose memory is fresh (in pelorin-bench the repetitions share a process).
cli1 = [v for k, v in sorted(ref.items()) if k.startswith("clithreads1_")]
cliall = [v for k, v in sorted(ref.items()) if k.startswith("clithreadsall_")]
if cli1 and len(cli1) == len(cliall):
    pairs = [a / b for a, b in zip(cli1, cliall)]
    rows.append(f"| pelorin-cli --ship-list, all cores against `--threads 1` (end to end, {len(cli1)} runs each "
                f"taking turns) | {min(cli1) / min(cliall):.2f}× faster (fastest {min(cliall):.3f} s against "
                f"{min(cli1):.3f} s; medians {statistics.median(cli1) / statistics.median(cliall):.2f}×; "
                f"median of the pairs {statistics.median(pairs):.2f}×) | | | | | | ≥ 1.6× |")

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
    for key, label in (("mem_bench", "pelorin-bench, the run alone (all cores)"),
                       ("mem_bench1", "pelorin-bench, the run alone (1 thread)"), ("mem_cli", "pelorin-cli --ship-list")):
        if key in ref:
            kb = ref[key]
            out.append(f"| {label} | {kb / 1024:.0f} | {kb * 1024 / limit:.2f} |")
        elif key == "mem_cli":
            out.append(f"| {label} | not measured (pelorin-cli not ready) | |")
    out.append("")
    out.append(f"Limit: 1.3 × {day_bytes / 1e6:.0f} MB + 100 B × {points / 1e6:.2f} M points = {limit / 1e6:.0f} MB.")

# The window against no window, on the same 24-hour log.
gui = [(k, label) for k, label in (("plain_", "details pane hidden"), ("details_", "details pane shown"))
       if k + "gui_run" in ref]
if gui:
    platform_name = next((k[len("gui_platform_"):] for k in ref if k.startswith("gui_platform_")), "default")
    out.append("")
    out.append(f"| Ship-list run of the 24-hour log through the window ({platform_name}) | window | no window | "
               "difference | pump's cost, measured | events handled | longest wait | bar repaints | Target |")
    out.append("|---|---|---|---|---|---|---|---|---|")
    for k, label in gui:
        out.append(f"| {label} | {ref[k + 'gui_run']:.3f} s | {ref[k + 'bare_run']:.3f} s | "
                   f"{ref[k + 'gui_overhead_percent']:+.1f} % | {ref.get(k + 'gui_pump_cost_percent', float('nan')):.1f} % | "
                   f"{ref[k + 'gui_pumps_per_second']:.0f} /s | "
                   f"{ref[k + 'gui_longest_pump_gap_ms']:.0f} ms | {ref[k + 'gui_repaints_per_second']:.0f} /s | "
                   "≤ 5 %, ≥ 20 /s |")

# The ship-list run of the 3-day card against the 24-hour log: cost grows with the points.
if "cli_days3" in ref and "cli_day" in ref:
    out.append("")
    out.append("| pelorin-cli --ship-list | time | wc -l | ÷ wc -l | peak memory | Target |")
    out.append("|---|---|---|---|---|---|")
    out.append(f"| 24-hour log | {ref['cli_day']:.2f} s | {ref['wc_day']:.3f} s | {ref['cli_day'] / ref['wc_day']:.1f} | "
               f"{ref.get('mem_cli', 0) / 1024:.0f} MB | ≤ 10 × wc -l |")
    out.append(f"| 3-day card | {ref['cli_days3']:.2f} s ({ref['cli_days3'] / ref['cli_day']:.2f} × the day) | "
               f"{ref.get('wc_days3', 0):.3f} s | {ref['cli_days3'] / max(ref.get('wc_days3', 1), 1e-9):.1f} | "
               f"{ref.get('mem_cli_days3', 0) / 1024:.0f} MB | ≤ 3.3 × the day, ≤ 400 MB |")

# The exports of the 24-hour log against the ship-list run (fastest of the turns each).
def fastest(prefix):
    times = [v for k, v in ref.items() if k.startswith(prefix)]
    return min(times) if times else None
ship = fastest("expturn_ship_")
if ship:
    out.append("")
    out.append("| pelorin-cli, 24-hour log, analysis included | time | × the ship-list run | peak memory | "
               "over the run's | file | Target |")
    out.append("|---|---|---|---|---|---|---|")
    out.append(f"| --ship-list | {ship:.2f} s | 1.00 | {ref.get('mem_cli', 0) / 1024:.0f} MB | | | |")
    for f, label, limit, size_limit in (("csv", "--export .csv", 2, ""), ("gpx", "--export .gpx", 2, ""),
                                        ("kmz", "--export .kmz", 4, ", ≤ 80 MB"), ("gpkg", "--export .gpkg", 6, "")):
        t = fastest(f"expturn_{f}_")
        if t is None:
            continue
        mem = ref.get(f"mem_exp_{f}", 0) / 1024
        over = mem - ref.get("mem_cli", 0) / 1024
        out.append(f"| {label} | {t:.2f} s | {t / ship:.2f} | {mem:.0f} MB | {over:+.0f} MB | "
                   f"{ref.get(f'size_exp_{f}', 0) / 1e6:.1f} MB | ≤ {limit} ×, ≤ +150 MB{size_limit} |")

# One log timed by tag blocks against the same with GPS sentences.
pair_gps, pair_tag = fastest("pairturn_gps_"), fastest("pairturn_tag_")
if pair_gps and pair_tag:
    out.append("")
    out.append("| pelorin-cli --ship-list, one log two ways | time | lines | MB | speed against GPS | Target |")
    out.append("|---|---|---|---|---|---|")
    for p, label, t in (("gps", "GPS sentences", pair_gps), ("tag", "Tag blocks, no GPS sentences", pair_tag)):
        out.append(f"| {label} | {t:.3f} s | {ref.get('pair_lines_' + p, 0):,.0f} | "
                   f"{ref.get('pair_bytes_' + p, 0) / 1e6:.0f} | {pair_gps / t * 100:.0f} % | "
                   f"{'≥ 80 %' if p == 'tag' else ''} |")

# Who came close, on the 24-hour log's table (the run that fills it not counted).
enc = [(n, runs[k]) for n in ("BM_EncounterMotions_Day", "BM_OwnShipTable_Day", "BM_Encounters_Day")
       for k in runs if k.split("/")[0] == n]
if enc:
    out.append("")
    out.append("| Who came close, 24-hour log | time | rows | Target |")
    out.append("|---|---|---|---|")
    labels = {"BM_EncounterMotions_Day": ("The vessels' motions", "motion_B_per_point", "≤ 16 B per point"),
              "BM_OwnShipTable_Day": ("The own-ship table", "rows", "≤ 1 s"),
              "BM_Encounters_Day": ("Every encounter within 0.5 NM", "rows", "≤ 10 s")}
    for n, b in enc:
        label, counter, target = labels[n]
        value = f"{b[counter]:.1f} B per point" if counter == "motion_B_per_point" else f"{b[counter]:.0f}"
        out.append(f"| {label} | {secs(b):.3f} s | {value} | {target} |")
    if "mem_cli" in ref and "mem_cli_encounters" in ref:
        points = runs["BM_EncounterMotions_Day"]["points"] if "BM_EncounterMotions_Day" in runs else 0
        extra = (ref["mem_cli_encounters"] - ref["mem_cli"]) * 1024
        out.append(f"| pelorin-cli --ship-list --encounters: peak over --ship-list | "
                   f"{extra / 1e6:+.0f} MB | {extra / points if points else 0:.1f} B per point | ≤ 16 B per point |")

# The Track Replay window over the 24-hour log and the 3-day card.
view = [("view_open_ms", "Open: table to first frame", "ms", "≤ 1,000 ms"),
        ("view_replay_frame_ms_median", "Replay frame, median (10-min trails, 60×)", "ms", "≤ 16 ms"),
        ("view_replay_frame_ms_p95", "Replay frame, 95th percentile", "ms", "≤ 33 ms"),
        ("view_all_tracks_frame_ms", "All tracks frame", "ms", "≤ 100 ms"),
        ("view_density_first_frame_ms", "All tracks as density, first frame at a new scale (counts beside it)", "ms", "≤ 150 ms (3 days)"),
        ("view_density_counted_ms", "All tracks as density, a new scale until its counts are shown", "ms", ""),
        ("view_density_zoomed_counted_ms", "All tracks as density, zoomed in 4×, until its counts are shown", "ms", ""),
        ("view_density_frame_ms", "All tracks as density, frame", "ms", "≤ 150 ms (3 days)"),
        ("view_pan_frame_ms", "Pan frame", "ms", "≤ 100 ms"),
        ("view_timeline_new_ms", "Timeline, bars drawn anew", "ms", "≤ 2 ms"),
        ("view_timeline_frame_ms", "Timeline, a replay frame", "ms", "≤ 2 ms"),
        ("view_bytes_per_point", "Memory the view adds", "B per point", "≤ 32 B"),
        ("view_table_bytes_per_point", "Ship table, per stored point", "B", "≤ 32 B"),
        ("view_run_resident_bytes_per_point", "Resident after the run, per stored point", "B", ""),
        ("view_peak_rss_mb", "Peak resident, window open", "MB", "≤ 650 MB (3 days)")]
for prefix, name in (("view_", "24-hour log"), ("view3_", "3-day card")):
    if prefix + "open_ms" not in ref:
        continue
    out.append("")
    out.append(f"| Track Replay window, {name} ({ref.get(prefix + 'vessels', 0):.0f} vessels, "
               f"{ref.get(prefix + 'points', 0) / 1e6:.2f} M points), 1400 × 900 offscreen | value | Target |")
    out.append("|---|---|---|")
    for key, label, unit, target in view:
        key = prefix + key[len("view_"):]
        if key in ref:
            out.append(f"| {label} | {ref[key]:.1f} {unit} | {target} |")

# Linearity of the ship table.
table = sorted((b for n, b in runs.items() if n.startswith("BM_ShipTable/")), key=lambda b: b["points"])
if table:
    out.append("")
    out.append("| Ship table | vessels | points | time | ns per point |")
    out.append("|---|---|---|---|---|")
    for b in table:
        out.append(f"| | {b['vessels']:.0f} | {b['points'] / 1e6:.2f} M | {secs(b):.3f} s | {secs(b) / b['points'] * 1e9:.0f} |")
print("\n".join(out))
