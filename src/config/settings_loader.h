#pragma once
// Reads "Quellmark.ini" and "NoBreakForms.ini" into the store, once, when the
// game's data has loaded.
#include "config/config_store.h"
#include "config/no_break_forms.h"

#include "config/entry_parsing.h"

#include <functional>
#include <string>

namespace qm::config {

// The process's store, from the files in the game's data folder.
void LoadSettings();

// The same steps for any store and any two files: the settings sections, the
// no-break list, the settings written to the log, then HealthThreshold.
void LoadSettingsInto(ConfigStore& store, const std::string& settingsPath, const std::string& noBreakPath,
                      const PluginFileLookup& findPluginFile);

// The five sections of the settings file, each read, sorted and applied in
// turn; beginSection (when given) hears each section's name before its
// entries reach the observer.
void ApplySettingsFile(ConfigStore& store, const std::string& settingsPath,
                       const std::function<void(const char* section)>& beginSection = {},
                       const EntryObserver* observer = nullptr);

}  // namespace qm::config
