#pragma once
#include <cstdint>
#include <string>

namespace qm::scenario {

struct RunOptions {
  std::string pluginPath;
  bool seedGiven = false;
  std::uint32_t seed = 0;
  std::string traceOutPath;    // empty: no trace file
  std::string reportPath;      // empty: no HTML report
  bool keepTemporary = false;  // keep the run's temporary folder (Linux) for a look afterwards
  std::string runtime;         // empty: the scenario's; otherwise the runtime to simulate ("1.5.97")
};

// Runs one scenario in this process; returns the process exit code
// (0 passed, 1 an expectation failed, 2 the scenario is malformed or the
// plug-in could not be loaded).
int RunScenario(const std::string& path, const RunOptions& options);

}  // namespace qm::scenario
