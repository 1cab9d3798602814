// The process's store, read from the files beside the game. Kept apart from
// the file-based steps so that those build without the game's bindings (the
// settings checker runs them in a browser too).
#include "config/plugin_file_index.h"
#include "config/settings_loader.h"
#include "config/settings_paths.h"

namespace qm::config {

void LoadSettings() {
  ConfigStore& store = Store();
  LoadSettingsInto(store, SettingsFilePath(store), NoBreakFilePath(store), FindPluginFile);
}

}  // namespace qm::config
