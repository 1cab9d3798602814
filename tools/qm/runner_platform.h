#pragma once
// What running a scenario needs from the operating system of the run.
#include "world.h"

#include <cstdint>
#include <string>

namespace qm::scenario {

struct RunFolders {
  std::string gameFolder;       // where the game executable lies; data files go below it
  std::string documentsFolder;  // the user's documents folder the log goes under
};

// Linux: fresh folders under the temporary folder. Windows: the launcher's
// own folder and the real documents folder, cleared of earlier runs' files.
RunFolders PrepareRunFolders();

// Fixes the seed the plug-in draws from the random device.
void SetSeedForPlugin(std::uint32_t seed);

// The world in the image region of this process.
gd::World MakeWorld();

// The plug-in module next to this program.
std::string DefaultPluginPath(const char* argv0);

// Hands the command over to a program next to this one (qm check-settings
// runs qm-check-settings); returns only when that cannot be done, with the
// exit code to give.
int RunSiblingProgram(const char* argv0, const char* program, int argc, char** argv);

}  // namespace qm::scenario
