#pragma once
// The lab's work split into jobs, each run by a worker process of its own:
// the plug-in's state is process-wide, and a job's results depend on its own
// seed alone, never on which worker ran it or how many there were.
#include "tune_lab.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qm::tune {

// One category, kind of actor and kind of attack, at some starting healths.
struct JobSpec {
  int category = 0;
  ActorKind actor = ActorKind::Player;
  bool powerAttack = false;
  std::vector<double> starts;
  bool shield = false;  // a heavy shield (category HeavyArmor) instead of body armour
};

struct Job {
  std::string settingsFile;  // the settings as SimulationSettings wrote them
  JobSpec spec;
  std::uint32_t seed = 0;
};

struct JobResult {
  float threshold = 1.0f;
  bool degradationOff = false;
  std::uint32_t violations = 0;
  LabFigures figures;
  std::vector<Case> cases;  // one per starting health, in the order of the table
};

// Every job of a full table: each category, actor and attack, all starts.
std::vector<JobSpec> AllJobSpecs();

// The seed of a job: the run's seed mixed with what the job covers.
std::uint32_t JobSeed(std::uint32_t runSeed, const JobSpec& spec);

std::string JobSpecText(const JobSpec& spec);
bool ParseJobSpec(const std::string& text, JobSpec& spec);

bool WriteJobResult(const std::string& path, const JobResult& result);
bool ReadJobResult(const std::string& path, JobResult& result, std::string& error);

struct PoolOptions {
  std::string program;  // this executable
  std::string plugin;
  std::string folder;  // for the workers' result and output files
  unsigned workers = 1;
  std::uint32_t trials = 200;
  std::uint32_t cap = 100000;
  bool showProgress = true;
};

// Runs every job on up to `workers` processes at once; results in job order.
// False with `error` set when a worker failed (its output is quoted).
bool RunJobs(const std::vector<Job>& jobs, const PoolOptions& options, std::vector<JobResult>& results,
             std::string& error);

// The worker's side: `qm tune --worker ...` (arguments after --worker).
int WorkerMain(int argc, char** argv);

}  // namespace qm::tune
