// Random no-break files against a small load order: nothing may crash, only
// sections of files in the load order count, and no more identifiers come
// out than their entries.
#include "config/no_break_forms.h"
#include "config/profile_section.h"
#include "fuzz_input_file.h"

#include <array>
#include <string>

namespace {

using qmfuzz::Require;

struct PluginFile {
  const char* name;
  std::uint8_t position;
};

// Positions are not consecutive, so that a wrong one shows.
constexpr std::array<PluginFile, 5> kLoadOrder{{
    {"skyrim.esm", 0},
    {"update.esm", 1},
    {"dawnguard.esm", 2},
    {"my mod.esp", 0x41},
    {"last.esp", 0xFE},
}};

std::string Folded(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::uint8_t FindInLoadOrder(const std::string& name) {
  const std::string folded = Folded(name);
  for (const PluginFile& file : kLoadOrder) {
    if (folded == file.name) return file.position;
  }
  return qm::config::kPluginFileNotFound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = qmfuzz::InputFilePath("nobreak");
  qmfuzz::WriteInputFile(path, data, size);

  std::vector<std::string> names = qm::config::ReadProfileSectionNames(path);
  qm::config::SortEntries(names);

  // Every section the load order knows, with the number of its entries: the
  // list can hold no more identifiers than that.
  std::size_t countedEntries = 0;
  std::size_t lookups = 0;
  const qm::config::PluginFileIndexLookup lookup = [&](const std::string& name) {
    ++lookups;
    const std::uint8_t position = FindInLoadOrder(name);
    if (position != qm::config::kPluginFileNotFound) {
      countedEntries += qm::config::ReadProfileSection(name, path).size();
    }
    return position;
  };

  qm::config::FormIdSet list;
  qm::config::LoadNoBreakForms(names, path, lookup, list);
  Require(lookups == names.size(), "a section was looked up more or less than once");
  Require(list.Size() <= countedEntries, "more identifiers than entries of known files");

  return 0;
}
