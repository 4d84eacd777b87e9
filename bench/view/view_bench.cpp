// pelorin-view-bench: the Track Replay window's speed and memory over one card. Runs the
// ship-list job on the card with no output, builds the window's view from the table and
// draws its map offscreen at 1400 × 900.
//
//   pelorin-view-bench DIR
//
// Prints "name value" lines for bench/run.sh: open_ms (table to first frame),
// replay_frame_ms_median and _p95 (10-minute trails, playing at 60× across the span),
// all_tracks_frame_ms, density_first_frame_ms (a new scale, counted beside it),
// density_counted_ms and density_zoomed_counted_ms (until its counts are shown; zoomed:
// four times closer), density_frame_ms, pan_frame_ms, bytes_per_point (heap the view adds beyond the
// ship table, per point shown), table_bytes_per_point (what the table holds, per
// stored point: its records, blocks and texts), run_resident_bytes_per_point (what the
// run leaves resident, per stored point: the table and the memory kept for the next
// blocks) and peak_rss_mb.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>

#include "analysis/analysis_run.h"
#include "bench_inputs.h"
#include "platform/progress_sink.h"
#include "replay/land_file.h"
#include "shell/map_widget.h"
#include "shell/timeline_strip.h"
#include "shell/track_replay_window.h"

namespace pelorin {
namespace {

using TClock = std::chrono::steady_clock;

double Ms(TClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Resident bytes of the process now.
size_t Resident() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5))];
}

int Main(const char* card) {
  TCatalogue catalogue;
  if (!bench::OpenCard(card, catalogue)) {
    std::fprintf(stderr, "pelorin-view-bench: no time stamps in %s\n", card);
    return 1;
  }
  TTimeWindowState chooser = bench::WholeIndex(catalogue);
  malloc_trim(0);
  const size_t residentBefore = Resident();
  TAnalysisState state;
  TNullSink sink;
  bench::TQuietBox box;
  constexpr unsigned kAnalyseOnly = 2;
  TRunInputs in{state, catalogue, chooser, kAnalyseOnly, nullptr, nullptr, std::string(), sink, box, nullptr,
                nullptr, {}};
  if (RunAnalysis(in) != TRunOutcome::Completed) {
    std::fprintf(stderr, "pelorin-view-bench: the run did not complete\n");
    return 1;
  }
  auto ships = std::make_shared<const TShipList>(std::move(state.aShipList));
  malloc_trim(0);
  size_t stored = 0, held = sizeof(TStatic) * ships->capacity();
  for (const TStatic& ship : *ships) {
    stored += ship.aPlot.size();
    held += ship.aPlot.capacity() * sizeof(TDynamic) + ship.aPlot.Extras.capacity() * sizeof(TPointExtra);
  }
  const double perStored = static_cast<double>(std::max<size_t>(stored, 1));
  const double tableBytes = static_cast<double>(held) / perStored;
  const double residentBytes = static_cast<double>(Resident() - std::min(Resident(), residentBefore)) / perStored;
  const size_t heapBefore = HeapInUse();

  const QSize size(1400, 900);
  QImage image(size, QImage::Format_RGB32);
  const auto frame = [&](TMapWidget& map) {
    const auto t0 = TClock::now();
    QPainter p(&image);
    map.Render(p, size);
    p.end();
    return Ms(TClock::now() - t0);
  };

  // Open: the window with its land, the model from the table, the first frame.
  const auto open0 = TClock::now();
  TReplayWindowOptions options;
  options.LandFile = QString::fromUtf8(kDefaultLandFile.data(), static_cast<qsizetype>(kDefaultLandFile.size()));
  TTrackReplayWindow window(options);
  window.Map->resize(size);
  window.SetShips(ships, true);
  frame(*window.Map);
  const double openMs = Ms(TClock::now() - open0);
  const TReplayModel& model = window.Model();
  TMapWidget& map = *window.Map;

  // Playing at 60x at 60 frames a second: one replay second a frame, in bursts of a
  // second of real time spread over the whole span.
  window.Combo_Trail->setCurrentIndex(1);
  std::vector<double> replay;
  constexpr int kBursts = 20, kFramesPerBurst = 60;
  const double span = static_cast<double>(model.EndSeconds - model.StartSeconds);
  for (int b = 0; b < kBursts; ++b) {
    window.SetTime(static_cast<double>(model.StartSeconds) + span * (b + 0.5) / kBursts);
    for (int f = 0; f < kFramesPerBurst; ++f) {
      window.Advance(1.0 / 60);
      replay.push_back(frame(map));
    }
  }

  // All tracks: the first frame builds the level's thinning; later view changes redraw.
  window.SetTime(static_cast<double>(model.StartSeconds) + span / 2);
  map.SetDensity(false);
  map.SetAllTracks(true);
  const double allFirst = frame(map);
  const auto redraws = [&] {
    std::vector<double> times;
    for (int i = 0; i < 7; ++i) {
      map.SetAllTracks(false);
      map.SetAllTracks(true);
      times.push_back(frame(map));
    }
    return times;
  };
  std::vector<double> all = redraws();
  map.SetDensity(true);
  // A new scale: the frame starts the count beside the window and shows what it has; the
  // counts are on screen after the count and one more frame. Each sample is at the mercy of
  // the machine's drift, so the median of a few scales a hair apart.
  std::vector<double> densityFirsts, densityShown, densityZoomed;
  const TViewTransform fitted = map.View();
  const auto counted = [&](const TViewTransform& v, std::vector<double>* first, std::vector<double>& shown) {
    map.SetView(v);
    const auto t0 = TClock::now();
    const double ms = frame(map);
    if (first) first->push_back(ms);
    map.FinishDensity();
    frame(map);
    shown.push_back(Ms(TClock::now() - t0));
  };
  for (int i = 0; i < 7; ++i)
    counted({fitted.OriginX, fitted.OriginY, fitted.Scale * (1 - 0.0001 * (i + 1))}, &densityFirsts, densityShown);
  // Zoomed in four times on the middle: most stretches of track lie beside the view.
  for (int i = 0; i < 5; ++i)
    counted(ZoomAround(fitted, size.width() / 2.0, size.height() / 2.0, fitted.Scale * 4 * (1 - 0.0001 * i)), nullptr,
            densityZoomed);
  map.SetView(fitted);
  map.FinishDensity();
  const double densityFirst = Percentile(densityFirsts, 0.5);
  std::vector<double> density = redraws();
  map.SetAllTracks(false);
  map.SetDensity(false);

  // The timeline strip: its bars drawn anew (a new size), and a replay frame's redraw.
  window.Strip_Timeline->resize(size.width(), 34);
  QImage stripImage(window.Strip_Timeline->size(), QImage::Format_RGB32);
  std::vector<double> stripNew, stripFrame;
  for (int i = 0; i < 20; ++i) {
    window.Strip_Timeline->resize(size.width() - (i % 2), 34);
    auto t0 = TClock::now();
    window.Strip_Timeline->render(&stripImage);
    stripNew.push_back(Ms(TClock::now() - t0));
    window.Advance(1.0 / 60);
    t0 = TClock::now();
    window.Strip_Timeline->render(&stripImage);
    stripFrame.push_back(Ms(TClock::now() - t0));
  }

  // Panning: each frame the map moved by 10 pixels, the base map redrawn.
  std::vector<double> pan;
  for (int i = 0; i < 40; ++i) {
    TViewTransform v = map.View();
    v.OriginX += 10 / v.Scale;
    map.SetView(v);
    pan.push_back(frame(map));
  }
  const size_t heapAfter = HeapInUse();
  const double points = static_cast<double>(std::max<size_t>(model.Points.size(), 1));

  std::printf("vessels %zu\n", model.Vessels.size());
  std::printf("stored_points %zu\n", stored);
  std::printf("table_bytes_per_point %.1f\n", tableBytes);
  std::printf("run_resident_bytes_per_point %.1f\n", residentBytes);
  std::printf("points %zu\n", model.Points.size());
  std::printf("open_ms %.1f\n", openMs);
  std::printf("replay_frame_ms_median %.2f\n", Percentile(replay, 0.5));
  std::printf("replay_frame_ms_p95 %.2f\n", Percentile(replay, 0.95));
  std::printf("all_tracks_first_frame_ms %.1f\n", allFirst);
  std::printf("all_tracks_frame_ms %.1f\n", Percentile(all, 0.5));
  std::printf("density_first_frame_ms %.1f\n", densityFirst);
  std::printf("density_counted_ms %.1f\n", Percentile(densityShown, 0.5));
  std::printf("density_zoomed_counted_ms %.1f\n", Percentile(densityZoomed, 0.5));
  std::printf("density_frame_ms %.1f\n", Percentile(density, 0.5));
  std::printf("pan_frame_ms %.1f\n", Percentile(pan, 0.5));
  std::printf("timeline_new_ms %.2f\n", Percentile(stripNew, 0.5));
  std::printf("timeline_frame_ms %.2f\n", Percentile(stripFrame, 0.5));
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak_rss_mb %.0f\n", static_cast<double>(usage.ru_maxrss) / 1024);
  std::printf("bytes_per_point %.1f\n", static_cast<double>(heapAfter - std::min(heapAfter, heapBefore)) / points);
  return 0;
}

}  // namespace
}  // namespace pelorin

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelorin-view-bench DIR\n");
    return 2;
  }
  return pelorin::Main(argv[1]);
}
