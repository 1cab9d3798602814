#include "runner_platform.h"

#include "double_offsets.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace qm::scenario {

RunFolders PrepareRunFolders() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qm-run-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  RunFolders folders{pattern + "/game", pattern + "/documents"};
  std::filesystem::create_directories(folders.gameFolder);
  std::filesystem::create_directories(folders.documentsFolder);
  return folders;
}

void SetSeedForPlugin(std::uint32_t seed) { ::setenv("QUELLMARK_SEED", std::to_string(seed).c_str(), 1); }

gd::World MakeWorld() { return gd::World(); }

std::string DefaultPluginPath(const char* argv0) {
  return (std::filesystem::path(argv0).parent_path() / "Quellmark.so").string();
}

}  // namespace qm::scenario
