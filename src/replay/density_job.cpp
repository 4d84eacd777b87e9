#include "replay/density_job.h"

#include <utility>

namespace pelorin {

void StartDensityJob(const TReplayModel& model, const TDecimatedLevel& level, std::vector<char> counted,
                     TDensityJob& job, std::function<void()> done) {
  job.Thread = std::thread([&model, &level, &job, counted = std::move(counted), done = std::move(done)] {
    if (!CountTrackDensity(model, level, job.View, job.Width, job.Height, counted, job.Grid, &job.Stop)) return;
    job.Done = true;
    if (done) done();
  });
}

void WaitDensityJob(TDensityJob& job) {
  if (job.Thread.joinable()) job.Thread.join();
}

void StopDensityJob(TDensityJob& job) {
  job.Stop.store(true, std::memory_order_relaxed);
  WaitDensityJob(job);
}

}  // namespace pelorin
