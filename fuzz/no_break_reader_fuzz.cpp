// Random no-break files against a small load order: nothing may crash, only
// sections of files the game has loaded count, and no more identifiers come
// out than their entries.
#include "config/no_break_forms.h"
#include "config/profile_section.h"
#include "fuzz_input_file.h"

#include <array>
#include <string>

namespace {

using qmfuzz::Require;

using Kind = qm::config::PluginFileSlot::Kind;

struct PluginFile {
  const char* name;
  qm::config::PluginFileSlot slot;
};

// Indices are not consecutive, so that a wrong one shows.
constexpr std::array<PluginFile, 7> kLoadOrder{{
    {"skyrim.esm", {Kind::Regular, 0}},
    {"update.esm", {Kind::Regular, 1}},
    {"dawnguard.esm", {Kind::Regular, 2}},
    {"my mod.esp", {Kind::Regular, 0x41}},
    {"last.esp", {Kind::Regular, 0xFD}},
    {"small.esl", {Kind::Light, 0xABC}},
    {"unused.esp", {Kind::NotActive, 0}},
}};

std::string Folded(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

qm::config::PluginFileSlot FindInLoadOrder(const std::string& name) {
  const std::string folded = Folded(name);
  for (const PluginFile& file : kLoadOrder) {
    if (folded == file.name) return file.slot;
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = qmfuzz::InputFilePath("nobreak");
  qmfuzz::WriteInputFile(path, data, size);

  std::vector<std::string> names = qm::config::ReadProfileSectionNames(path);
  qm::config::SortEntries(names);

  // Every section of a loaded file, with the number of its entries: the
  // list can hold no more identifiers than that.
  std::size_t countedEntries = 0;
  std::size_t lookups = 0;
  const qm::config::PluginFileLookup lookup = [&](const std::string& name) {
    ++lookups;
    const qm::config::PluginFileSlot slot = FindInLoadOrder(name);
    if (slot.kind == Kind::Regular || slot.kind == Kind::Light) {
      countedEntries += qm::config::ReadProfileSection(name, path).size();
    }
    return slot;
  };

  qm::config::FormIdSet list;
  qm::config::LoadNoBreakForms(names, path, lookup, list);
  Require(lookups == names.size(), "a section was looked up more or less than once");
  Require(list.Size() <= countedEntries, "more identifiers than entries of known files");

  return 0;
}
