#pragma once
// The timeline over the replay: how many vessels sent a position in each 10 minutes of the
// span (each hour when the span is over two days), and where the days begin.
#include <cstdint>
#include <vector>

#include "replay/replay_model.h"

namespace pelorin {

struct TTimelineBins {
  int64_t Start = 0;         // the first bin's start, seconds, a whole number of bins
  int64_t BinSeconds = 600;
  std::vector<uint32_t> Vessels;  // by bin: the vessels with a point in it
  uint32_t Max = 0;
};

TTimelineBins TimelineBinsOf(const TReplayModel& model);

// The midnights (UTC, seconds) after `from` up to `to`.
std::vector<int64_t> DayStartsWithin(int64_t from, int64_t to);

}  // namespace pelorin
