#pragma once
// A density count made beside the window: on a card of days a new scale's count takes
// longer than a frame may, so the window keeps drawing the counts it has (stretched to the
// new scale) and shows the new ones when they are done.
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "replay/density_map.h"

namespace pelorin {

struct TDensityJob {
  TViewTransform View;  // the grid's pixel (0, 0) and its scale
  int Width = 0, Height = 0;
  TDensityGrid Grid;
  std::atomic<bool> Stop{false};
  bool Done = false;  // the grid is complete; read once the job was waited for
  std::thread Thread;
};

// Starts counting into `job` (its View, Width and Height set); `done` is called on the
// counting thread once the grid is complete, never after a stop. The model and the level
// must stay as they are until the job is stopped or waited for.
void StartDensityJob(const TReplayModel& model, const TDecimatedLevel& level, std::vector<char> counted,
                     TDensityJob& job, std::function<void()> done);
// Waits for the count to end; `job.Done` tells whether it completed.
void WaitDensityJob(TDensityJob& job);
// Stops the count and waits for it.
void StopDensityJob(TDensityJob& job);

}  // namespace pelorin
