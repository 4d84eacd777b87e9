// Who came close, on the 24-hour log's table: the motions, the own-ship table and every
// encounter, each against nothing but itself (the run that fills the table is done once).
#include "bench_inputs.h"
#include "encounters/encounter_tables.h"

namespace pelorin::bench {
namespace {

// The day's ship table, made once for all three.
const TShipList* DayTable(benchmark::State& state) {
  static TAnalysisState table;
  static bool made = false;
  if (!HaveInput(state, BenchInputs().Day, "DAY")) return nullptr;
  if (!made) {
    TCatalogue catalogue;
    TQuietBox box;
    TNullSink sink;
    if (!OpenCard(BenchInputs().Day, catalogue)) return nullptr;
    TTimeWindowState window = WholeIndex(catalogue);
    TRunInputs in{table, catalogue, window, static_cast<unsigned>(TAnalysisMode::ShipList), nullptr, nullptr,
                  std::string(), sink, box, nullptr, nullptr, {}, 0};
    if (RunAnalysis(in) != TRunOutcome::Completed) return nullptr;
    made = true;
  }
  return &table.aShipList;
}

void Count(benchmark::State& state, const TFleetMotion& fleet) {
  size_t points = 0, bytes = 0;
  for (const TMotionTrack& t : fleet.Tracks) points += t.Points.size(), bytes += t.Points.capacity() * sizeof(TMotionPoint);
  state.counters["points"] = static_cast<double>(points);
  state.counters["motion_B_per_point"] = static_cast<double>(bytes) / static_cast<double>(points);
}

void BM_EncounterMotions_Day(benchmark::State& state) {
  const TShipList* ships = DayTable(state);
  if (ships == nullptr) return;
  TFleetMotion fleet;
  for (auto _ : state) fleet = FleetMotionOf(*ships);
  Count(state, fleet);
}

void BM_OwnShipTable_Day(benchmark::State& state) {
  const TShipList* ships = DayTable(state);
  if (ships == nullptr) return;
  const TFleetMotion fleet = FleetMotionOf(*ships);
  TNullSink sink;
  size_t rows = 0;
  for (auto _ : state) rows = OwnShipApproaches(fleet, sink).size();
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_Encounters_Day(benchmark::State& state) {
  const TShipList* ships = DayTable(state);
  if (ships == nullptr) return;
  const TFleetMotion fleet = FleetMotionOf(*ships);
  TNullSink sink;
  bool stopped = false;
  size_t rows = 0;
  for (auto _ : state) rows = FindEncounters(fleet, kDefaultEncounterNM, sink, stopped).size();
  state.counters["rows"] = static_cast<double>(rows);
}

}  // namespace

BENCHMARK(BM_EncounterMotions_Day)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OwnShipTable_Day)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Encounters_Day)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace pelorin::bench
