#include "tune_run.h"

#include <chrono>
#include <fstream>

namespace qm::tune {

bool RunLabs(const std::vector<std::string>& settingsTexts, const std::vector<JobSpec>& specs, const RunSetup& setup,
             std::vector<LabRun>& runs, std::string& error) {
  static unsigned batch = 0;  // each call writes settings files of its own
  std::vector<Job> jobs;
  for (std::size_t s = 0; s < settingsTexts.size(); ++s) {
    const std::string file = setup.pool.folder + "/settings" + std::to_string(batch) + "-" + std::to_string(s) + ".ini";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << settingsTexts[s];
    if (!out.flush()) {
      error = "cannot write " + file;
      return false;
    }
    // The same seeds for every settings: their differences are not noise.
    for (const JobSpec& spec : specs) jobs.push_back({file, spec, JobSeed(setup.seed, spec)});
  }
  ++batch;
  const auto begin = std::chrono::steady_clock::now();
  std::vector<JobResult> results;
  if (!RunJobs(jobs, setup.pool, results, error)) return false;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  runs.assign(settingsTexts.size(), LabRun{});
  for (std::size_t j = 0; j < jobs.size(); ++j) {
    LabRun& run = runs[j / specs.size()];
    JobResult& result = results[j];
    run.threshold = result.threshold;
    run.degradationOff = run.degradationOff || result.degradationOff;
    run.violations += result.violations;
    run.figures.hitEvents += result.figures.hitEvents;
    run.figures.updateEvents += result.figures.updateEvents;
    run.figures.cpuSeconds += result.figures.cpuSeconds;
    run.figures.seconds = seconds;
    const JobSpec& spec = jobs[j].spec;
    for (Case& c : result.cases) {
      c.category = spec.category;
      c.actor = spec.actor;
      c.powerAttack = spec.powerAttack;
      c.shield = spec.shield;
      run.cases.push_back(std::move(c));
    }
  }
  return true;
}

}  // namespace qm::tune
