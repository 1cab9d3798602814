#pragma once
// The settings file the lab gives the plug-in: the author's settings exactly
// as the plug-in reads them, with followers and other actors worn too.
#include "config/settings_table.h"

#include <string>
#include <vector>

namespace qm::tune {

// The sections the plug-in reads, in its order.
inline constexpr const auto& kSettingsSections = config::kSectionNames;

// A value the lab puts in place of the file's own: every entry of the key
// (any case) goes, and key=value comes instead.
struct SettingOverride {
  std::string section;  // one of kSettingsSections
  std::string key;      // lower case
  std::string value;
};

// Reads every section the plug-in reads from `path` through the platform's
// profile functions (the first section of each name, whatever the spelling
// of its header) and writes them out again, one header each, with
// onlyplayer=false first in [Degradation] and the overrides applied. The
// plug-in reads from the result the same entries as from the file, plus the
// lab's. An empty path stands for no file (the plug-in's defaults).
std::string SimulationSettings(const std::string& path, const std::vector<SettingOverride>& overrides);

// The lower-case key of an entry: the text before its first '='.
std::string EntryKey(const std::string& entry);

}  // namespace qm::tune
