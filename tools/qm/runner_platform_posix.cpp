#include "runner_platform.h"

#include "runtime_offsets.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace qm::scenario {

RunFolders PrepareRunFolders(bool keepTemporary) {
  std::string pattern = (std::filesystem::temp_directory_path() / "qm-run-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  RunFolders folders{pattern + "/game", pattern + "/documents",
                     std::make_shared<const TemporaryFolder>(pattern, keepTemporary)};
  std::filesystem::create_directories(folders.gameFolder);
  std::filesystem::create_directories(folders.documentsFolder);
  return folders;
}

void SetSeedForPlugin(std::uint32_t seed) { ::setenv("QUELLMARK_SEED", std::to_string(seed).c_str(), 1); }

gd::World MakeWorld(const gd::RuntimeOffsets& runtime) { return gd::World(runtime); }

std::string DefaultPluginPath(const char* argv0) {
  return (std::filesystem::path(argv0).parent_path() / "Quellmark.so").string();
}

int RunSiblingProgram(const char* argv0, const char* program, int argc, char** argv) {
  const std::string path = (std::filesystem::path(argv0).parent_path() / program).string();
  std::vector<char*> arguments{const_cast<char*>(path.c_str())};
  for (int i = 0; i < argc; ++i) arguments.push_back(argv[i]);
  arguments.push_back(nullptr);
  std::fflush(stdout);
  ::execv(path.c_str(), arguments.data());
  std::fprintf(stderr, "qm: cannot run %s: %s\n", path.c_str(), std::strerror(errno));
  return 2;
}

}  // namespace qm::scenario
