#include "config/settings_loader.h"

#include "config/entry_parsing.h"
#include "config/plugin_file_index.h"
#include "config/profile_section.h"
#include "config/settings_dump.h"
#include "config/settings_paths.h"

namespace qm::config {
namespace {

std::vector<std::string> SortedSection(const char* section, const std::string& path) {
  std::vector<std::string> entries = ReadProfileSection(section, path);
  SortEntries(entries);
  return entries;
}

}  // namespace

void LoadSettings() {
  ConfigStore& store = Store();
  LoadSettingsInto(store, SettingsFilePath(store), NoBreakFilePath(store), FindPluginFileIndex);
}

void LoadSettingsInto(ConfigStore& store, const std::string& settingsPath, const std::string& noBreakPath,
                      const PluginFileIndexLookup& findPluginFile) {
  ParseIntegerEntries(SortedSection("Degradation", settingsPath), store);
  ParseRealEntries(SortedSection("DegradationRate", settingsPath), store.degradationRate);
  ParseRealEntries(SortedSection("BreakChance", settingsPath), store.breakChance);
  ParseIntegerEntries(SortedSection("DynamicTemper", settingsPath), store);
  ParseIntegerEntries(SortedSection("Widget", settingsPath), store);

  std::vector<std::string> plugInFiles = ReadProfileSectionNames(noBreakPath);
  SortEntries(plugInFiles);
  LoadNoBreakForms(plugInFiles, noBreakPath, findPluginFile, store.NoBreakFormList);

  DumpSettings(store);
  store.HealthThreshold = HealthThresholdFor(store.GetDegradation("equipmenthealththreshold"));
}

}  // namespace qm::config
