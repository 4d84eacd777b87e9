#include "replay/timeline_bins.h"

#include <algorithm>

namespace pelorin {

namespace {

constexpr int64_t kDay = 86400;

int64_t FloorTo(int64_t t, int64_t step) { return t / step * step - (t % step < 0 ? step : 0); }

}  // namespace

TTimelineBins TimelineBinsOf(const TReplayModel& model) {
  TTimelineBins bins;
  if (IsEmpty(model)) return bins;
  bins.BinSeconds = model.EndSeconds - model.StartSeconds > 2 * kDay ? 3600 : 600;
  bins.Start = FloorTo(model.StartSeconds, bins.BinSeconds);
  bins.Vessels.assign(static_cast<size_t>((model.EndSeconds - bins.Start) / bins.BinSeconds + 1), 0);
  for (const TReplayVessel& v : model.Vessels) {
    // Its points are in time order: a bin is counted once, when the vessel enters it.
    int64_t last = -1;
    for (uint32_t k = v.First; k < v.First + v.Count; ++k) {
      const int64_t bin = (model.BaseSeconds + model.Points[k].Time - bins.Start) / bins.BinSeconds;
      if (bin == last) continue;
      last = bin;
      bins.Max = std::max(bins.Max, ++bins.Vessels[static_cast<size_t>(bin)]);
    }
  }
  return bins;
}

std::vector<int64_t> DayStartsWithin(int64_t from, int64_t to) {
  std::vector<int64_t> days;
  for (int64_t d = FloorTo(from, kDay) + kDay; d <= to; d += kDay) days.push_back(d);
  return days;
}

}  // namespace pelorin
