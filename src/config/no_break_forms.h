#pragma once
// "NoBreakForms.ini": items that never break, listed by plug-in file. Each
// section names a plug-in file; each entry formid=1 names one of its forms.
#include "config/entry_parsing.h"
#include "config/form_id_set.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm::config {

// Where a plug-in file's forms sit among the game's form identifiers, as the
// game's own record of the file says.
struct PluginFileSlot {
  enum class Kind : std::uint8_t {
    NotListed,  // the game knows no such file
    NotActive,  // the game knows it but has not loaded it: it has no forms
    Regular,    // index: the load-order index, the top byte of its forms
    Light       // index: the light index, bits 12 to 23 of its forms (top byte 0xFE)
  };
  Kind kind = Kind::NotListed;
  std::uint16_t index = 0;

  friend bool operator==(const PluginFileSlot&, const PluginFileSlot&) = default;
};

// The largest light index that fits its 12 bits of a form identifier.
inline constexpr std::uint16_t kLargestLightIndex = 0xFFF;

// Finds a plug-in file by name without regard to case.
using PluginFileLookup = std::function<PluginFileSlot(const std::string& fileName)>;

// The form an entry's formid names in the file at that slot. A regular
// file's load-order index is added as the top byte (added, not or-ed: a
// formid that carries a top byte of its own moves it, modulo 2^32). A light
// file's forms are numbered in 12 bits: a formid beyond them names none of
// its forms, and gives nothing. Nothing, too, for a file without forms.
std::optional<std::uint32_t> FormIdInFile(const PluginFileSlot& slot, std::uint32_t formId);

// Reads the sections named (in the order given) from the no-break file and
// adds the identifiers of their enabled entries to the list. Sections of
// files the game does not list are skipped without a word; a section of a
// file the game has not loaded is skipped with one log line.
void LoadNoBreakForms(const std::vector<std::string>& sectionNames, const std::string& noBreakPath,
                      const PluginFileLookup& findPluginFile, FormIdSet& list, const EntryObserver* observer = nullptr);

// One section's entries, already sorted, for the loaded file at that slot.
void AddNoBreakEntries(const std::string& fileName, const PluginFileSlot& slot, const std::vector<std::string>& entries,
                       FormIdSet& list, const EntryObserver* observer = nullptr);

}  // namespace qm::config
