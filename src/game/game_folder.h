#pragma once
// The game's folder: where the executable the process was started from lies.
// The settings files and the Address Library file are found below it.
#include <string>

namespace qm::game {

// The folder of the process's executable with a trailing "\", or empty when
// the executable's path cannot be had.
std::string GameFolderPath();

}  // namespace qm::game
