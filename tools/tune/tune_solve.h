#pragma once
// qm tune's solver: searches the settings an author may change until the
// lab's figures meet the author's targets, then checks on fresh seeds.
#include "tune_run.h"

#include <string>
#include <vector>

namespace qm::tune {

int SolveCommand(const std::string& settingsPath, const std::vector<std::string>& targetTexts,
                 const std::string& targetsFile, const std::string& varyText, const RunSetup& setup);

}  // namespace qm::tune
