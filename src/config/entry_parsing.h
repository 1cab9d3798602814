#pragma once
// Turns the entries of the settings file's sections into store values. Only
// keys the store already holds are written; everything else is dropped.
#include "config/config_store.h"

#include <string>
#include <string_view>
#include <vector>

namespace qm::config {

// The parts of an entry between '=' signs: "key=value" gives two tokens,
// "key=" one, "=value" an empty token and "value", "a==b" three.
std::vector<std::string> SplitAtEquals(std::string_view text);

// The Degradation, DynamicTemper and Widget sections: one routine for all
// three, the target table following from the key.
void ParseIntegerEntries(const std::vector<std::string>& entries, ConfigStore& store);

// The DegradationRate and BreakChance sections: writes only the given table.
void ParseRealEntries(const std::vector<std::string>& entries, SettingsTable<double>& table);

}  // namespace qm::config
