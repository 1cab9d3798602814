#include "tune_settings.h"

#include "tune_platform.h"

#include "config/settings_table.h"

#include <algorithm>
#include <filesystem>

namespace qm::tune {
namespace {

// The plug-in reads these three sections with one routine, so a key of any
// of them takes effect from each of them.
bool IsIntegerSection(const std::string& section) {
  for (const config::SettingInfo& info : config::kSettings) {
    if (section == config::NameOf(info.section)) return !config::HoldsReals(info.section);
  }
  return false;
}

bool Affects(const SettingOverride& override, const std::string& section) {
  if (override.section == section) return true;
  return IsIntegerSection(override.section) && IsIntegerSection(section);
}

}  // namespace

std::string EntryKey(const std::string& entry) {
  std::string key = entry.substr(0, entry.find('='));
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

std::string SimulationSettings(const std::string& path, const std::vector<SettingOverride>& overrides) {
  const std::string absolute = path.empty() ? "" : std::filesystem::absolute(path).string();
  std::string text;
  for (const char* section : kSettingsSections) {
    std::vector<std::string> entries;
    if (!absolute.empty()) entries = ProfileSectionEntries(section, absolute);
    for (const SettingOverride& override : overrides) {
      if (!Affects(override, section)) continue;
      entries.erase(std::remove_if(entries.begin(), entries.end(),
                                   [&](const std::string& entry) { return EntryKey(entry) == override.key; }),
                    entries.end());
    }
    text += '[';
    text += section;
    text += "]\r\n";
    // A boolean changes only on its one word, so no entry of the file can undo this one.
    const config::SettingInfo& onlyPlayer = config::InfoOf(config::Setting::OnlyPlayer);
    if (std::string(section) == config::NameOf(onlyPlayer.section)) text += std::string(onlyPlayer.key) + "=false\r\n";
    for (const std::string& entry : entries) text += entry + "\r\n";
    for (const SettingOverride& override : overrides) {
      if (override.section == section) text += override.key + "=" + override.value + "\r\n";
    }
  }
  return text;
}

}  // namespace qm::tune
