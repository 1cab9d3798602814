#include "config/settings_paths.h"

#include "game/game_folder.h"

namespace qm::config {
namespace {

constexpr const char* kPluginFolder = "data\\SKSE\\Plugins\\Quellmark\\";

const std::string& KeptPath(std::string& kept, const char* fileName) {
  if (kept.empty()) {
    const std::string folder = game::GameFolderPath();
    // Without the game folder the name alone would be looked up elsewhere
    // (the Windows folder, or the current folder): read nothing instead.
    if (!folder.empty()) kept = folder + kPluginFolder + fileName;
  }
  return kept;
}

}  // namespace

const std::string& SettingsFilePath(ConfigStore& store) { return KeptPath(store.settingsFilePath, "Quellmark.ini"); }

const std::string& NoBreakFilePath(ConfigStore& store) { return KeptPath(store.noBreakFilePath, "NoBreakForms.ini"); }

}  // namespace qm::config
