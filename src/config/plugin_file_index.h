#pragma once
// A plug-in file's place among the game's form identifiers, read from the
// game's own record of the file: its load-order index, or its light index.
#include "config/no_break_forms.h"
#include "game/plugin_file_list.h"

#include <string>

namespace qm::config {

// Searches the game's data handler; NotListed when the name is empty, the
// game has no data handler yet, or the file is not listed.
PluginFileSlot FindPluginFile(const std::string& fileName);

// The same search in a given data handler (which may be null).
PluginFileSlot FindPluginFileIn(const game::DataHandler* dataHandler, const std::string& fileName);

}  // namespace qm::config
