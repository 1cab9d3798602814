#pragma once
// ConfigStore: every setting of the plug-in, with its default from the moment
// the module is loaded. Keys are held in lower case; every look-up folds the
// asked key first, and a key the table does not hold reads as 0.
#include "config/form_id_set.h"
#include "config/settings_table.h"

#include <array>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace qm::config {

struct KeyHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view key) const noexcept { return std::hash<std::string_view>{}(key); }
};

class ConfigStore;

// One section's values by lower-case key, every key from the store's start.
// Outside the store a table is read and its values overwritten, never given a
// key or relieved of one: the store's slots point at the values it holds.
template <typename Value>
class SettingsTable {
  using Map = std::unordered_map<std::string, Value, KeyHash, std::equal_to<>>;

 public:
  using value_type = typename Map::value_type;
  using iterator = typename Map::const_iterator;
  using const_iterator = typename Map::const_iterator;

  std::size_t size() const { return map_.size(); }
  std::size_t count(std::string_view key) const { return map_.count(key); }
  const_iterator find(std::string_view key) const { return map_.find(key); }
  const_iterator begin() const { return map_.begin(); }
  const_iterator end() const { return map_.end(); }
  bool operator==(const SettingsTable&) const = default;

  // Overwrites a key that the table already holds; the key is lower case.
  void SetExisting(std::string_view key, Value value) {
    if (auto it = map_.find(key); it != map_.end()) it->second = value;
  }

 private:
  friend class ConfigStore;
  Map map_;
};

class ConfigStore {
 public:
  ConfigStore() { InitDefaults(); }
  // A store moved into takes the other's values and points its slots at
  // them; the store moved from starts again from its defaults, with slots of
  // its own. Nothing copies a store.
  ConfigStore(ConfigStore&& other) { *this = std::move(other); }
  ConfigStore& operator=(ConfigStore&& other);
  ConfigStore(const ConfigStore&) = delete;
  ConfigStore& operator=(const ConfigStore&) = delete;

  std::uint32_t GetDegradation(std::string_view key) const { return Find(degradation, key); }
  double GetDegradationRate(std::string_view key) const { return Find(degradationRate, key); }
  double GetBreakChance(std::string_view key) const { return Find(breakChance, key); }
  std::uint32_t GetDynamicTemper(std::string_view key) const { return Find(dynamicTemper, key); }
  std::uint32_t GetWidget(std::string_view key) const { return Find(widget, key); }

  void InitDefaults();

  // A setting by its name in the table, without folding or hashing: what the
  // game's threads ask on every hit.
  template <Setting S>
  auto Get() const {
    if constexpr (HoldsReals(InfoOf(S).section)) {
      return Real(S);
    } else {
      return Whole(S);
    }
  }
  std::uint32_t Whole(Setting setting) const { return *static_cast<const std::uint32_t*>(slots_[Index(setting)]); }
  double Real(Setting setting) const { return *static_cast<const double*>(slots_[Index(setting)]); }

  // Fields in the order the store keeps them.
  float HealthThreshold = 1.0f;
  std::string settingsFilePath;
  std::string noBreakFilePath;
  SettingsTable<std::uint32_t> degradation;
  SettingsTable<double> degradationRate;
  SettingsTable<double> breakChance;
  SettingsTable<std::uint32_t> dynamicTemper;
  SettingsTable<std::uint32_t> widget;
  FormIdSet NoBreakFormList;

 private:
  template <typename Value>
  static Value Find(const SettingsTable<Value>& table, std::string_view key);
  template <typename Value>
  static void Fill(SettingsTable<Value>& table, Section section);
  static constexpr std::size_t Index(Setting setting) { return static_cast<std::size_t>(setting); }
  // Points every setting at its value in the tables; the tables' nodes stay
  // where they are until the store refills them.
  void BindSlots();

  std::array<const void*, kSettingCount> slots_{};
};

// Folds ASCII A-Z to a-z; every other byte is kept.
std::string FoldToLower(std::string_view text);

// The health at or below which an item counts as worn out, from the
// "equipmenthealththreshold" setting: 1.0 + value x 0.001, in single precision.
float HealthThresholdFor(std::uint32_t equipmentHealthThreshold);

// The one store of the process.
ConfigStore& Store();

}  // namespace qm::config
