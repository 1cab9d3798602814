// Random settings files through the profile reader and the entry parsers:
// nothing may crash, and whatever the file says the store keeps its keys and
// every value within the bounds the reader promises.
#include "config/config_store.h"
#include "config/entry_parsing.h"
#include "config/profile_section.h"
#include "config/settings_table.h"
#include "fuzz_input_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

using qm::config::ConfigStore;
using qmfuzz::Require;

template <typename Table>
void RequireExactlyTheDefaultKeys(const Table& table, qm::config::Section section) {
  std::size_t keys = 0;
  for (const qm::config::SettingInfo& info : qm::config::kSettings) {
    if (info.section != section) continue;
    ++keys;
    Require(table.count(info.key) == 1, "a default key went missing");
  }
  Require(table.size() == keys, "a table gained or lost keys");
}

void RequireSoundStore(const ConfigStore& store) {
  RequireExactlyTheDefaultKeys(store.degradation, qm::config::Section::Degradation);
  RequireExactlyTheDefaultKeys(store.degradationRate, qm::config::Section::DegradationRate);
  RequireExactlyTheDefaultKeys(store.breakChance, qm::config::Section::BreakChance);
  RequireExactlyTheDefaultKeys(store.dynamicTemper, qm::config::Section::DynamicTemper);
  RequireExactlyTheDefaultKeys(store.widget, qm::config::Section::Widget);

  for (const char* key : {"DisableDegradation", "OnlyPlayer", "NoBreakMagicDisallowEnchanting", "IncreaseDurability"}) {
    Require(store.GetDegradation(key) <= 1, "a boolean is neither 0 nor 1");
  }
  Require(store.GetDynamicTemper("DisableDynamicTemper") <= 1, "a boolean is neither 0 nor 1");
  for (const char* key : {"DisableWidget", "HidePoisonName", "HideWithWeaponsSheathed"}) {
    Require(store.GetWidget(key) <= 1, "a boolean is neither 0 nor 1");
  }
  Require(store.GetWidget("PositionX") <= 100 && store.GetWidget("PositionY") <= 100, "a position beyond 100");
  Require(store.GetWidget("UnbreakableColor") <= 0xFFFFFF && store.GetWidget("BreakableColor") <= 0xFFFFFF,
          "a colour beyond 24 bits");
  for (const auto* table : {&store.degradationRate, &store.breakChance}) {
    for (const auto& [key, value] : *table) Require(!std::isnan(value) && value >= 0.0, "a negative or NaN rate");
  }
}

// Notes, once per process, that an input filled the profile buffer (a section
// over 32 KiB, cut): run_fuzzers.sh requires the file named by
// QM_FUZZ_FULL_BUFFER_MARK afterwards, so that a run whose inputs never grow
// that far fails instead of passing unnoticed.
void NoteFullBuffer() {
  static bool noted = false;
  if (noted) return;
  noted = true;
  const char* mark = std::getenv("QM_FUZZ_FULL_BUFFER_MARK");
  if (mark == nullptr || *mark == '\0') return;
  if (std::FILE* file = std::fopen(mark, "w")) std::fclose(file);
}

void RequireSoundEntries(const std::vector<std::string>& entries) {
  std::size_t bytes = 1;
  for (const std::string& entry : entries) {
    Require(!entry.empty(), "an empty entry inside a section");
    Require(entry.find('\0') == std::string::npos, "an entry with a NUL inside");
    bytes += entry.size() + 1;
  }
  Require(bytes <= qm::config::kProfileBufferSize, "a section larger than the buffer");
  // A list that fits takes at most size - 1 bytes; a cut one size - 1 or size.
  if (bytes + 1 >= qm::config::kProfileBufferSize) NoteFullBuffer();
}

std::vector<std::string> SortedSection(const char* name, const std::string& path) {
  std::vector<std::string> entries = qm::config::ReadProfileSection(name, path);
  RequireSoundEntries(entries);
  qm::config::SortEntries(entries);
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = qmfuzz::InputFilePath("settings");
  qmfuzz::WriteInputFile(path, data, size);

  ConfigStore store;
  qm::config::ParseIntegerEntries(SortedSection("Degradation", path), store);
  qm::config::ParseRealEntries(SortedSection("DegradationRate", path), store.degradationRate);
  qm::config::ParseRealEntries(SortedSection("BreakChance", path), store.breakChance);
  qm::config::ParseIntegerEntries(SortedSection("DynamicTemper", path), store);
  qm::config::ParseIntegerEntries(SortedSection("Widget", path), store);
  RequireSoundStore(store);

  // The names call shares the file walk with the section call.
  RequireSoundEntries(qm::config::ReadProfileSectionNames(path));
  return 0;
}
