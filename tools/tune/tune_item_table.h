#pragma once
// The players' table: what each settings file means in play, in hits until
// worn out and until broken, for the items players meet most, from a fine
// temper, for the player and a follower.
#include "tune_run.h"

#include <string>
#include <vector>

namespace qm::tune {

// Each preset is NAME=FILE; prints one Markdown table for all of them.
int ItemTableCommand(const std::vector<std::string>& presets, const RunSetup& setup);

}  // namespace qm::tune
