#include "config/entry_parsing.h"

#include "config/number_reading.h"
#include "config/settings_table.h"

#include <array>
#include <cmath>

namespace qm::config {
namespace {

using IntegerTable = SettingsTable<std::uint32_t> ConfigStore::*;

// The three sections of whole values are read by one routine: a key finds
// its table whichever of the three sections it was written under.
IntegerTable TableOf(Section section) {
  switch (section) {
    case Section::Degradation: return &ConfigStore::degradation;
    case Section::DynamicTemper: return &ConfigStore::dynamicTemper;
    default: return &ConfigStore::widget;
  }
}

const SettingInfo* FindIntegerSetting(std::string_view key, ValueForm form) {
  for (const SettingInfo& info : kSettings) {
    if (info.form == form && key == info.key) return &info;
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

    // Booleans are words, never numbers, and never reported. A boolean
    // changes only on its one word; any other text leaves it alone.
    if (const SettingInfo* boolean = FindIntegerSetting(key, ValueForm::Word); boolean != nullptr) {
      if (FoldToLower(tokens[1]) == boolean->word) {
        (store.*TableOf(boolean->section)).SetExisting(key, boolean->wordValue);
        Tell(observer, {entry, EntryFate::Taken, key, static_cast<double>(boolean->wordValue)});
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

    const SettingInfo* known = FindIntegerSetting(key, ValueForm::Whole);
    const EntryFate fate = known == nullptr         ? EntryFate::UnknownKey
                           : value > known->maximum ? EntryFate::OutOfRange
                                                    : EntryFate::Taken;
    Tell(observer, {entry, fate, key, static_cast<double>(value), reading.fault});
    if (fate != EntryFate::Taken) continue;
    (store.*TableOf(known->section)).SetExisting(key, value);
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
    Tell(observer,
         {entry, table.count(key) != 0 ? EntryFate::Taken : EntryFate::UnknownKey, key, reading.value, reading.fault});
    table.SetExisting(key, reading.value);
  }
}

}  // namespace qm::config
