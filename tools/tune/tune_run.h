#pragma once
// Runs the lab for one or more settings on the same jobs and seeds, through
// the worker pool, and puts each settings' cases together again.
#include "tune_jobs.h"
#include "tune_settings.h"

#include <string>
#include <vector>

namespace qm::tune {

struct LabRun {
  float threshold = 1.0f;
  bool degradationOff = false;
  std::uint32_t violations = 0;
  LabFigures figures;       // hits and processor time summed over the workers
  std::vector<Case> cases;  // in the order of the job specs, then of their starts
};

struct RunSetup {
  PoolOptions pool;
  std::uint32_t seed = 5489;
};

// Writes each settings file for the plug-in into the pool's folder and runs
// every spec for each of them, all in one pool. `runs` gets one LabRun per
// settings, figures.seconds being the wall-clock time of the whole pool.
bool RunLabs(const std::vector<std::string>& settingsTexts, const std::vector<JobSpec>& specs, const RunSetup& setup,
             std::vector<LabRun>& runs, std::string& error);

}  // namespace qm::tune
