#include "config/config_store.h"

#include "config/settings_table.h"

namespace qm::config {

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

template <typename Value>
void ConfigStore::Fill(SettingsTable<Value>& table, Section section) {
  table.map_.clear();
  for (const SettingInfo& info : kSettings) {
    if (info.section == section) table.map_.emplace(info.key, static_cast<Value>(info.defaultValue));
  }
}

ConfigStore& ConfigStore::operator=(ConfigStore&& other) {
  HealthThreshold = other.HealthThreshold;
  settingsFilePath = std::move(other.settingsFilePath);
  noBreakFilePath = std::move(other.noBreakFilePath);
  degradation = std::move(other.degradation);
  degradationRate = std::move(other.degradationRate);
  breakChance = std::move(other.breakChance);
  dynamicTemper = std::move(other.dynamicTemper);
  widget = std::move(other.widget);
  NoBreakFormList = std::move(other.NoBreakFormList);
  BindSlots();
  other.InitDefaults();
  return *this;
}

void ConfigStore::InitDefaults() {
  HealthThreshold = 1.0f;
  settingsFilePath.clear();
  noBreakFilePath.clear();
  Fill(degradation, Section::Degradation);
  Fill(degradationRate, Section::DegradationRate);
  Fill(breakChance, Section::BreakChance);
  Fill(dynamicTemper, Section::DynamicTemper);
  Fill(widget, Section::Widget);
  NoBreakFormList.Clear();
  BindSlots();
}

void ConfigStore::BindSlots() {
  for (const SettingInfo& info : kSettings) {
    const void* value = nullptr;
    switch (info.section) {
      case Section::Degradation: value = &degradation.find(std::string_view(info.key))->second; break;
      case Section::DegradationRate: value = &degradationRate.find(std::string_view(info.key))->second; break;
      case Section::BreakChance: value = &breakChance.find(std::string_view(info.key))->second; break;
      case Section::DynamicTemper: value = &dynamicTemper.find(std::string_view(info.key))->second; break;
      case Section::Widget: value = &widget.find(std::string_view(info.key))->second; break;
    }
    slots_[Index(info.setting)] = value;
  }
}

}  // namespace qm::config
