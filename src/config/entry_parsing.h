#pragma once
// Turns the entries of the settings file's sections into store values. Only
// keys the store already holds are written; everything else is dropped.
#include "config/config_store.h"
#include "config/number_reading.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::config {

// What the reader did with one entry, for an observer such as the settings
// checker; the plug-in itself passes none and behaves the same either way.
enum class EntryFate : std::uint8_t {
  Taken,        // written to the store (no-break list: the identifier added)
  NotKeyValue,  // not exactly two tokens around '='
  EmptyKey,
  UnknownKey,           // a key the section's routine does not hold
  OutOfRange,           // outside the range the key accepts
  WordNotRecognised,    // a boolean key with a word other than the one that changes it
  NegativeOrNaN,        // a real value below 0 or not a number
  FlagNotOne,           // a no-break entry whose flag does not read as 1
  BeyondLightFile,      // a no-break entry of a light file whose formid does not fit its 12 bits
  PluginFileNotListed,  // a no-break section whose plug-in file the game does not list
  PluginFileNotActive   // a no-break section whose plug-in file the game has not loaded
};

struct EntryReport {
  std::string_view entry;  // as the profile reader delivered it (a section name for PluginFileNotListed and NotActive)
  EntryFate fate;
  std::string_view key;  // folded to lower case; empty when the entry did not split
  double value = 0.0;    // the value read: unsigned 32-bit for integers, the identifier for no-break entries
  NumberFault fault = NumberFault::None;  // the reading's fault (the value is then 0)
};
using EntryObserver = std::function<void(const EntryReport&)>;

// The parts of an entry between '=' signs: "key=value" gives two tokens,
// "key=" one, "=value" an empty token and "value", "a==b" three.
std::vector<std::string> SplitAtEquals(std::string_view text);

// The Degradation, DynamicTemper and Widget sections: one routine for all
// three, the target table following from the key.
void ParseIntegerEntries(const std::vector<std::string>& entries, ConfigStore& store,
                         const EntryObserver* observer = nullptr);

// The DegradationRate and BreakChance sections: writes only the given table.
void ParseRealEntries(const std::vector<std::string>& entries, SettingsTable<double>& table,
                      const EntryObserver* observer = nullptr);

}  // namespace qm::config
