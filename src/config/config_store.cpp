#include "config/config_store.h"

#include "config/settings_defaults.h"

namespace qm::config {
namespace {

template <typename Table, typename Defaults>
void Fill(Table& table, const Defaults& defaults) {
  table.clear();
  for (const auto& entry : defaults) table.emplace(entry.key, entry.value);
}

}  // namespace

std::string FoldToLower(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

float HealthThresholdFor(std::uint32_t equipmentHealthThreshold) {
  if (equipmentHealthThreshold == 0) return 1.0f;
  // Two statements, so that no compiler fuses them into one rounding step.
  const float scaled = static_cast<float>(equipmentHealthThreshold) * 0.001f;
  return scaled + 1.0f;
}

template <typename Value>
Value ConfigStore::Find(const SettingsTable<Value>& table, std::string_view key) {
  // Keys asked by name are short; fold them on the stack so that look-ups on
  // the game's threads do not allocate.
  char folded[64] = {};
  if (key.size() > sizeof folded) {
    const auto it = table.find(FoldToLower(key));
    return it != table.end() ? it->second : Value{};
  }
  for (std::size_t i = 0; i < key.size(); ++i) {
    const char c = key[i];
    folded[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  const auto it = table.find(std::string_view(folded, key.size()));
  return it != table.end() ? it->second : Value{};
}

template std::uint32_t ConfigStore::Find(const SettingsTable<std::uint32_t>&, std::string_view);
template double ConfigStore::Find(const SettingsTable<double>&, std::string_view);

void ConfigStore::InitDefaults() {
  HealthThreshold = 1.0f;
  settingsFilePath.clear();
  noBreakFilePath.clear();
  Fill(degradation, kDegradationDefaults);
  Fill(degradationRate, kDegradationRateDefaults);
  Fill(breakChance, kBreakChanceDefaults);
  Fill(dynamicTemper, kDynamicTemperDefaults);
  Fill(widget, kWidgetDefaults);
  NoBreakFormList.Clear();
}

}  // namespace qm::config
