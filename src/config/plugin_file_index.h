#pragma once
// The load-order position of a plug-in file, the top byte of the form
// identifiers of the records it defines.
#include "game/plugin_file_list.h"

#include <cstdint>
#include <string>

namespace qm::config {

// Searches the game's data handler; kPluginFileNotFound (255) when the name
// is empty, the game has no data handler yet, or the file is not listed.
std::uint8_t FindPluginFileIndex(const std::string& fileName);

// The same search in a given data handler (which may be null).
std::uint8_t FindPluginFileIndexIn(const game::DataHandler* dataHandler, const std::string& fileName);

}  // namespace qm::config
