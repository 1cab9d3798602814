#include "config/no_break_forms.h"

#include "config/entry_parsing.h"
#include "config/number_reading.h"
#include "config/profile_section.h"
#include "log/debug_log.h"

namespace qm::config {
namespace {

constexpr std::uint32_t kLightFormTopByte = 0xFE000000;
constexpr std::uint32_t kLightFileOwnBits = 0xFFF;

// A light index beyond 12 bits would spill into the top byte: no file the
// game has loaded carries one, and none of its forms could be named.
bool HasForms(const PluginFileSlot& slot) {
  return slot.kind == PluginFileSlot::Kind::Regular ||
         (slot.kind == PluginFileSlot::Kind::Light && slot.index <= kLargestLightIndex);
}

}  // namespace

std::optional<std::uint32_t> FormIdInFile(const PluginFileSlot& slot, std::uint32_t formId) {
  if (!HasForms(slot)) return std::nullopt;
  if (slot.kind == PluginFileSlot::Kind::Regular) return formId + (static_cast<std::uint32_t>(slot.index) << 24);
  // Keeping the low bits alone would protect whichever form of the file
  // shares them, not the item the entry names: no light file has that one.
  if ((formId & ~kLightFileOwnBits) != 0) return std::nullopt;
  return kLightFormTopByte | (static_cast<std::uint32_t>(slot.index) << 12) | formId;
}

void LoadNoBreakForms(const std::vector<std::string>& sectionNames, const std::string& noBreakPath,
                      const PluginFileLookup& findPluginFile, FormIdSet& list, const EntryObserver* observer) {
  for (const std::string& fileName : sectionNames) {
    const PluginFileSlot slot = findPluginFile(fileName);
    if (slot.kind == PluginFileSlot::Kind::NotListed) {
      if (observer != nullptr) (*observer)({fileName, EntryFate::PluginFileNotListed, {}});
      continue;
    }
    if (!HasForms(slot)) {
      // Listed by the game yet not loaded: an easy slip to miss in a long
      // load order, so the log names it.
      log::LogMessage("%s : not active, none of its forms is protected", fileName.c_str());
      if (observer != nullptr) (*observer)({fileName, EntryFate::PluginFileNotActive, {}});
      continue;
    }
    std::vector<std::string> entries = ReadProfileSection(fileName, noBreakPath);
    SortEntries(entries);
    AddNoBreakEntries(fileName, slot, entries, list, observer);
  }
}

void AddNoBreakEntries(const std::string& fileName, const PluginFileSlot& slot, const std::vector<std::string>& entries,
                       FormIdSet& list, const EntryObserver* observer) {
  if (!HasForms(slot)) return;
  const auto tell = [observer](const EntryReport& report) {
    if (observer != nullptr) (*observer)(report);
  };
  for (const std::string& entry : entries) {
    if (entry.empty()) continue;
    const std::vector<std::string> tokens = SplitAtEquals(entry);
    if (tokens.size() != 2) {
      tell({entry, EntryFate::NotKeyValue, {}});
      continue;
    }
    if (!ReadsAsOne(tokens[1].c_str())) {
      tell({entry, EntryFate::FlagNotOne, {}});
      continue;
    }

    // The report names the plug-in file, the one thing the user can search
    // for; an unreadable formid still adds the file's form 0.
    const IntegerReading formId = ReadInteger(tokens[0].c_str());
    ReportIntegerFault(fileName.c_str(), formId.fault);

    const std::uint32_t read = static_cast<std::uint32_t>(formId.value);
    const std::optional<std::uint32_t> id = FormIdInFile(slot, read);
    if (!id) {
      log::LogMessage("%s : 0x%X is beyond a light file's forms (0x000 to 0xFFF), not protected", fileName.c_str(),
                      static_cast<unsigned>(read));
      tell({entry, EntryFate::BeyondLightFile, {}, static_cast<double>(read)});
      continue;
    }
    tell({entry, EntryFate::Taken, {}, static_cast<double>(*id), formId.fault});
    list.Add(*id);
  }
}

}  // namespace qm::config
