#pragma once
// What running a scenario needs from the operating system of the run.
#include "world.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace qm::scenario {

// A folder made for one run, removed with everything in it when this goes,
// unless it is to be kept for a look afterwards.
class TemporaryFolder {
 public:
  TemporaryFolder(std::string path, bool keep) : path_(std::move(path)), keep_(keep) {}
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!keep_) std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  bool keep_;
};

struct RunFolders {
  std::string gameFolder;       // where the game executable lies; data files go below it
  std::string documentsFolder;  // the user's documents folder the log goes under
  // The folder both lie in when it was made for the run (removed with the
  // last copy of this); null when they are not temporary.
  std::shared_ptr<const TemporaryFolder> temporary;
};

// Linux: fresh folders under the temporary folder, removed when the returned
// value goes unless keepTemporary. Windows: the launcher's own folder and the
// real documents folder, cleared of earlier runs' files.
RunFolders PrepareRunFolders(bool keepTemporary = false);

// Fixes the seed the plug-in draws from the random device.
void SetSeedForPlugin(std::uint32_t seed);

// The world in the image region of this process, laid out as the runtime
// lays out its image.
gd::World MakeWorld(const gd::RuntimeOffsets& runtime = gd::Runtime1_5_39());

// The plug-in module next to this program.
std::string DefaultPluginPath(const char* argv0);

// Hands the command over to a program next to this one (qm check-settings
// runs qm-check-settings); returns only when that cannot be done, with the
// exit code to give.
int RunSiblingProgram(const char* argv0, const char* program, int argc, char** argv);

}  // namespace qm::scenario
