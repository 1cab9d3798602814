#include "config/no_break_forms.h"

#include "config/entry_parsing.h"
#include "config/number_reading.h"
#include "config/profile_section.h"

namespace qm::config {

void LoadNoBreakForms(const std::vector<std::string>& sectionNames, const std::string& noBreakPath,
                      const PluginFileIndexLookup& findPluginFile, FormIdSet& list, const EntryObserver* observer) {
  for (const std::string& fileName : sectionNames) {
    const std::uint8_t position = findPluginFile(fileName);
    if (position == kPluginFileNotFound) {
      if (observer != nullptr) (*observer)({fileName, EntryFate::PluginFileNotListed, {}});
      continue;
    }
    std::vector<std::string> entries = ReadProfileSection(fileName, noBreakPath);
    SortEntries(entries);
    AddNoBreakEntries(fileName, position, entries, list, observer);
  }
}

void AddNoBreakEntries(const std::string& fileName, std::uint8_t position, const std::vector<std::string>& entries,
                       FormIdSet& list, const EntryObserver* observer) {
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

    // Added, not or-ed: a formid that carries a top byte of its own moves it.
    const std::uint32_t loadOrderTop = static_cast<std::uint32_t>(position) << 24;
    const std::uint32_t id = static_cast<std::uint32_t>(formId.value) + loadOrderTop;
    tell({entry, EntryFate::Taken, {}, static_cast<double>(id), formId.fault});
    list.Add(id);
  }
}

}  // namespace qm::config
