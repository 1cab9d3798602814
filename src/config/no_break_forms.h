#pragma once
// "NoBreakForms.ini": items that never break, listed by plug-in file. Each
// section names a plug-in file; each entry formid=1 names one of its forms.
#include "config/entry_parsing.h"
#include "config/form_id_set.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qm::config {

// The position of a plug-in file in the game's load order, found by name
// without regard to case; kPluginFileNotFound when the game does not list it.
inline constexpr std::uint8_t kPluginFileNotFound = 0xFF;
using PluginFileIndexLookup = std::function<std::uint8_t(const std::string& fileName)>;

// Reads the sections named (in the order given) from the no-break file and
// adds the identifiers of their enabled entries to the list. Sections of
// files the game does not list are skipped without a word.
void LoadNoBreakForms(const std::vector<std::string>& sectionNames, const std::string& noBreakPath,
                      const PluginFileIndexLookup& findPluginFile, FormIdSet& list,
                      const EntryObserver* observer = nullptr);

// One section's entries, already sorted, for the file at that position.
void AddNoBreakEntries(const std::string& fileName, std::uint8_t position, const std::vector<std::string>& entries,
                       FormIdSet& list, const EntryObserver* observer = nullptr);

}  // namespace qm::config
