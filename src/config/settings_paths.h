#pragma once
// Where the plug-in's two settings files lie: in the game's data folder,
// next to the executable the process was started from.
#include "config/config_store.h"

#include <string>

namespace qm::config {

// Built on the first request and kept in the store; empty when the game
// folder is unknown, which makes both files read as absent.
const std::string& SettingsFilePath(ConfigStore& store);
const std::string& NoBreakFilePath(ConfigStore& store);

}  // namespace qm::config
