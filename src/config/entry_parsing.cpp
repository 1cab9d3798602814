#include "config/entry_parsing.h"

#include "config/number_reading.h"

#include <array>
#include <cmath>

namespace qm::config {
namespace {

using IntegerTable = SettingsTable<std::uint32_t> ConfigStore::*;

// A boolean changes only on its one word; any other text leaves it alone.
struct BooleanKey {
  std::string_view key;
  std::string_view word;
  std::uint32_t value;
  IntegerTable table;
};

constexpr std::array<BooleanKey, 8> kBooleanKeys{{
    {"disabledegradation", "true", 1, &ConfigStore::degradation},
    {"onlyplayer", "false", 0, &ConfigStore::degradation},
    {"nobreakmagicdisallowenchanting", "false", 0, &ConfigStore::degradation},
    {"increasedurability", "false", 0, &ConfigStore::degradation},
    {"disabledynamictemper", "true", 1, &ConfigStore::dynamicTemper},
    {"disablewidget", "true", 1, &ConfigStore::widget},
    {"hidepoisonname", "true", 1, &ConfigStore::widget},
    {"hidewithweaponssheathed", "true", 1, &ConfigStore::widget},
}};

struct IntegerKey {
  std::string_view key;
  std::uint32_t maximum;  // as unsigned: -1 exceeds every bound below
  IntegerTable table;
};

constexpr std::uint32_t kAny = 0xFFFFFFFFu;
constexpr std::uint32_t kMaxPosition = 100;
constexpr std::uint32_t kMaxColour = 0xFFFFFF;

constexpr std::array<IntegerKey, 10> kIntegerKeys{{
    {"equipmenthealththreshold", kAny, &ConfigStore::degradation},
    {"temperchance", kAny, &ConfigStore::dynamicTemper},
    {"bosstemperchance", kAny, &ConfigStore::dynamicTemper},
    {"positionx", kMaxPosition, &ConfigStore::widget},
    {"positiony", kMaxPosition, &ConfigStore::widget},
    {"scale", kAny, &ConfigStore::widget},
    {"unbreakablecolor", kMaxColour, &ConfigStore::widget},
    {"breakablecolor", kMaxColour, &ConfigStore::widget},
    {"togglekeycode", kAny, &ConfigStore::widget},
    {"flags", kAny, &ConfigStore::widget},
}};

const BooleanKey* FindBooleanKey(std::string_view key) {
  for (const BooleanKey& entry : kBooleanKeys) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

const IntegerKey* FindIntegerKey(std::string_view key) {
  for (const IntegerKey& entry : kIntegerKeys) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

void Tell(const EntryObserver* observer, const EntryReport& report) {
  if (observer != nullptr) (*observer)(report);
}

// The key and value of a well-formed entry: exactly two tokens, a key that
// is not empty. The key comes folded to lower case.
bool SplitEntry(const std::string& entry, std::vector<std::string>& tokens, std::string& key,
                const EntryObserver* observer) {
  if (entry.empty()) return false;
  tokens = SplitAtEquals(entry);
  if (tokens.size() != 2) {
    Tell(observer, {entry, EntryFate::NotKeyValue, {}});
    return false;
  }
  key = FoldToLower(tokens[0]);
  if (key.empty()) Tell(observer, {entry, EntryFate::EmptyKey, {}});
  return !key.empty();
}

}  // namespace

std::vector<std::string> SplitAtEquals(std::string_view text) {
  std::vector<std::string> tokens;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t equals = text.find('=', at);
    if (equals == std::string_view::npos) {
      tokens.emplace_back(text.substr(at));
      break;
    }
    tokens.emplace_back(text.substr(at, equals - at));
    at = equals + 1;
  }
  return tokens;
}

void ParseIntegerEntries(const std::vector<std::string>& entries, ConfigStore& store, const EntryObserver* observer) {
  std::vector<std::string> tokens;
  std::string key;
  for (const std::string& entry : entries) {
    if (!SplitEntry(entry, tokens, key, observer)) continue;

    // Booleans are words, never numbers, and never reported.
    if (const BooleanKey* boolean = FindBooleanKey(key); boolean != nullptr) {
      if (FoldToLower(tokens[1]) == boolean->word) {
        ConfigStore::SetExisting(store.*boolean->table, key, boolean->value);
        Tell(observer, {entry, EntryFate::Taken, key, static_cast<double>(boolean->value)});
      } else {
        Tell(observer, {entry, EntryFate::WordNotRecognised, key});
      }
      continue;
    }

    // Every other key is read as a number, known or not, so that a value
    // that cannot be read is reported even under a misspelt key.
    const IntegerReading reading = ReadInteger(tokens[1].c_str());
    ReportIntegerFault(tokens[0].c_str(), reading.fault);
    const auto value = static_cast<std::uint32_t>(reading.value);

    const IntegerKey* known = FindIntegerKey(key);
    const EntryFate fate = known == nullptr           ? EntryFate::UnknownKey
                           : value > known->maximum ? EntryFate::OutOfRange
                                                    : EntryFate::Taken;
    Tell(observer, {entry, fate, key, static_cast<double>(value), reading.fault});
    if (fate != EntryFate::Taken) continue;
    ConfigStore::SetExisting(store.*known->table, key, value);
  }
}

void ParseRealEntries(const std::vector<std::string>& entries, SettingsTable<double>& table,
                      const EntryObserver* observer) {
  std::vector<std::string> tokens;
  std::string key;
  for (const std::string& entry : entries) {
    if (!SplitEntry(entry, tokens, key, observer)) continue;

    const RealReading reading = ReadReal(tokens[1].c_str());
    ReportRealFault(tokens[0].c_str(), reading.fault);
    if (reading.value < 0.0 || std::isnan(reading.value)) {
      Tell(observer, {entry, EntryFate::NegativeOrNaN, key, reading.value, reading.fault});
      continue;
    }

    // The table holds exactly its own keys, so writing only existing keys
    // drops every other name.
    Tell(observer, {entry, table.count(key) != 0 ? EntryFate::Taken : EntryFate::UnknownKey, key, reading.value,
                    reading.fault});
    ConfigStore::SetExisting(table, key, reading.value);
  }
}

}  // namespace qm::config
