#include "config/settings_loader.h"

#include "config/entry_parsing.h"
#include "config/profile_section.h"
#include "config/settings_dump.h"

namespace qm::config {
namespace {

std::vector<std::string> SortedSection(const char* section, const std::string& path) {
  std::vector<std::string> entries = ReadProfileSection(section, path);
  SortEntries(entries);
  return entries;
}

}  // namespace

void ApplySettingsFile(ConfigStore& store, const std::string& settingsPath,
                       const std::function<void(const char* section)>& beginSection, const EntryObserver* observer) {
  const auto begin = [&](const char* section) {
    if (beginSection) beginSection(section);
    return SortedSection(section, settingsPath);
  };
  ParseIntegerEntries(begin(NameOf(Section::Degradation)), store, observer);
  ParseRealEntries(begin(NameOf(Section::DegradationRate)), store.degradationRate, observer);
  ParseRealEntries(begin(NameOf(Section::BreakChance)), store.breakChance, observer);
  ParseIntegerEntries(begin(NameOf(Section::DynamicTemper)), store, observer);
  ParseIntegerEntries(begin(NameOf(Section::Widget)), store, observer);
}

void LoadSettingsInto(ConfigStore& store, const std::string& settingsPath, const std::string& noBreakPath,
                      const PluginFileLookup& findPluginFile) {
  ApplySettingsFile(store, settingsPath);

  std::vector<std::string> plugInFiles = ReadProfileSectionNames(noBreakPath);
  SortEntries(plugInFiles);
  LoadNoBreakForms(plugInFiles, noBreakPath, findPluginFile, store.NoBreakFormList);

  DumpSettings(store);
  store.HealthThreshold = HealthThresholdFor(store.Get<Setting::EquipmentHealthThreshold>());
}

}  // namespace qm::config
