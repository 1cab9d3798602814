#include "config/config_store.h"

#include "config/item_category.h"

namespace qm::config {

std::string FoldToLower(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

template <typename Value>
Value ConfigStore::Find(const SettingsTable<Value>& table, std::string_view key) {
  // Keys asked by name are short; fold them on the stack so that look-ups on
  // the game's threads do not allocate.
  char folded[64];
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
  NoBreakFormList.clear();

  degradation = {
      {"disabledegradation", 0}, {"onlyplayer", 1}, {"nobreakmagicdisallowenchanting", 1},
      {"increasedurability", 1}, {"equipmenthealththreshold", 0},
  };
  degradationRate.clear();
  breakChance.clear();
  for (const auto& category : kItemCategories) {
    degradationRate.emplace(category.key, 3.0);
    breakChance.emplace(category.key, 0.0);
  }
  for (auto* table : {&degradationRate, &breakChance}) {
    table->emplace("powerattackmultiplier", 2.0);
    table->emplace("followermultiplier", 1.0);
    table->emplace("npcmultiplier", 1.0);
  }
  dynamicTemper = {{"disabledynamictemper", 0}, {"temperchance", 40}, {"bosstemperchance", 80}};
  widget = {
      {"disablewidget", 0},          {"positionx", 3},         {"positiony", 73},
      {"scale", 100},                {"unbreakablecolor", 0xFFFFFF}, {"breakablecolor", 0xFFD700},
      {"hidepoisonname", 0},         {"hidewithweaponssheathed", 0}, {"togglekeycode", 0},
      {"flags", 8},
  };
}

}  // namespace qm::config
