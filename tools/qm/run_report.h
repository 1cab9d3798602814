#pragma once
// The HTML report of one scenario run: every named item's durability over
// the run, the widget's last rows and the whole play-by-play.
#include "run_context.h"

#include <string>

namespace qm::scenario {

bool WriteRunReport(const std::string& path, const std::string& scenarioPath, RunContext& run, int result);

}  // namespace qm::scenario
