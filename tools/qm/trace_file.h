#pragma once
// A run written down for comparison with a run on another platform: the
// trace the steps printed, the result, the calls into the widget's movie
// (when the run has a user interface), then every log file the plug-in
// wrote, all with plain line ends.
#include "run_context.h"

#include <string>

namespace qm::scenario {

// False when the file cannot be written.
bool WriteTraceFile(const std::string& path, RunContext& run, int result);

}  // namespace qm::scenario
