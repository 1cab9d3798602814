#include "game/game_folder.h"

#include "platform/platform.h"

namespace qm::game {
namespace {

constexpr std::uint32_t kMaxPath = 260;

}  // namespace

std::string GameFolderPath() {
  char path[kMaxPath] = {};
  if (platform::ProcessImagePath(path, kMaxPath) == 0) return {};
  platform::RemoveFileSpec(path);
  return std::string(path) + "\\";
}

}  // namespace qm::game
