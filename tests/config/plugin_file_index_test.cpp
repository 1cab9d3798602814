#include "config/plugin_file_index.h"
#include "config/no_break_forms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace qm::config {

void PrintTo(const PluginFileSlot& slot, std::ostream* out) {
  static const char* const kKinds[] = {"NotListed", "NotActive", "Regular", "Light"};
  *out << kKinds[static_cast<int>(slot.kind)] << " " << slot.index;
}

namespace {

using Kind = PluginFileSlot::Kind;

// A data handler laid out from the game's figures, byte by byte, rather than
// from the plug-in's own structures: the list's first node at +0xD60 (file
// record, next node); in each file record the name at +0x58, the file flags
// at +0x438 (0x200: light), the load-order index at +0x478 (0xFF: not
// loaded) and the light index at +0x47A.
class FakeDataHandler {
 public:
  static constexpr std::size_t kFirstNode = 0xD60;
  static constexpr std::size_t kFileName = 0x58;
  static constexpr std::size_t kFlags = 0x438;
  static constexpr std::size_t kLoadOrderIndex = 0x478;
  static constexpr std::size_t kLightIndex = 0x47A;
  static constexpr std::size_t kRecordSize = 0x4C8;

  FakeDataHandler() : object_(0xD70, 0) {}

  void AddFile(const std::string& name, std::uint8_t loadOrderIndex = 0, std::uint32_t flags = 0,
               std::uint16_t lightIndex = 0) {
    // Every byte not written here set, as a real record's other fields are.
    records_.push_back(std::vector<unsigned char>(kRecordSize, 0xFF));
    unsigned char* record = records_.back().data();
    std::memcpy(record + kFileName, name.c_str(), name.size() + 1);
    std::memcpy(record + kFlags, &flags, sizeof flags);
    record[kLoadOrderIndex] = loadOrderIndex;
    std::memcpy(record + kLightIndex, &lightIndex, sizeof lightIndex);
    AddNode(record);
  }
  void AddNode(void* record) {
    unsigned char* node = nullptr;
    if (!firstUsed_) {
      firstUsed_ = true;
      node = object_.data() + kFirstNode;
    } else {
      nodes_.push_back(std::make_unique<unsigned char[]>(16));
      node = nodes_.back().get();
      std::memset(node, 0, 16);
      std::memcpy(last_ + 8, &node, sizeof node);
    }
    std::memcpy(node, &record, sizeof record);
    last_ = node;
  }
  // A name that fills the record's whole array, with no NUL after it.
  void AddUnterminatedFile() {
    AddFile("", 7);
    std::memset(records_.back().data() + kFileName, 'a', 260);
  }
  const game::DataHandler* get() const { return reinterpret_cast<const game::DataHandler*>(object_.data()); }

 private:
  std::vector<unsigned char> object_;
  std::vector<std::vector<unsigned char>> records_;
  std::vector<std::unique_ptr<unsigned char[]>> nodes_;
  unsigned char* last_ = nullptr;
  bool firstUsed_ = false;
};

TEST(FindPluginFile, TheRecordsOwnLoadOrderIndexNotItsPlaceInTheList) {
  // The game lists files it has not loaded too: the loaded ones after them
  // keep their own indices.
  FakeDataHandler handler;
  handler.AddFile("Skyrim.esm", 0);
  handler.AddFile("Unused.esp", 0xFF);
  handler.AddFile("Update.esm", 1);
  handler.AddFile("My Mod.esp", 2, 0x80);  // a flag other than the light one
  handler.AddFile("Zeta.esp", 3);
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Skyrim.esm"), (PluginFileSlot{Kind::Regular, 0}));
  EXPECT_EQ(FindPluginFileIn(handler.get(), "unused.ESP"), (PluginFileSlot{Kind::NotActive, 0}));
  EXPECT_EQ(FindPluginFileIn(handler.get(), "UPDATE.ESM"), (PluginFileSlot{Kind::Regular, 1}));
  EXPECT_EQ(FindPluginFileIn(handler.get(), "my mod.esp"), (PluginFileSlot{Kind::Regular, 2}));
  // Names differing only in their first letter, and Z at the end of the fold.
  EXPECT_EQ(FindPluginFileIn(handler.get(), "zeta.esp"), (PluginFileSlot{Kind::Regular, 3}));
}

TEST(FindPluginFile, ALightFileByItsLightIndexAndOnlyWhenLoaded) {
  FakeDataHandler handler;
  handler.AddFile("Skyrim.esm", 0);
  handler.AddFile("Small.esl", 0xFE, 0x200, 0x123);
  handler.AddFile("Flagged.esp", 0xFE, 0x200 | 0x1, 0xFFF);
  handler.AddFile("Unused.esl", 0xFF, 0x200, 0x4);
  EXPECT_EQ(FindPluginFileIn(handler.get(), "small.esl"), (PluginFileSlot{Kind::Light, 0x123}));
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Flagged.esp"), (PluginFileSlot{Kind::Light, 0xFFF}));
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Unused.esl"), (PluginFileSlot{Kind::NotActive, 0}));
}

TEST(FindPluginFile, WholeNamesOnly) {
  FakeDataHandler handler;
  handler.AddFile("Skyrim.esm", 0);
  handler.AddFile("Update.esm", 1);
  for (const char* name : {"Skyrim", "Skyrim.esm2", "Skyrim.es", "Absent.esp"}) {
    EXPECT_EQ(FindPluginFileIn(handler.get(), name).kind, Kind::NotListed) << name;
  }
}

TEST(FindPluginFile, NothingToSearch) {
  FakeDataHandler empty;
  EXPECT_EQ(FindPluginFileIn(nullptr, "Skyrim.esm").kind, Kind::NotListed);
  EXPECT_EQ(FindPluginFileIn(empty.get(), "Skyrim.esm").kind, Kind::NotListed);
  FakeDataHandler handler;
  handler.AddFile("", 0);
  EXPECT_EQ(FindPluginFileIn(handler.get(), "").kind, Kind::NotListed);
}

TEST(FindPluginFile, ANodeWithoutAFileRecordEndsTheSearch) {
  FakeDataHandler handler;
  handler.AddFile("Skyrim.esm", 0);
  handler.AddNode(nullptr);
  handler.AddFile("Late.esp", 1);
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Skyrim.esm"), (PluginFileSlot{Kind::Regular, 0}));
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Late.esp").kind, Kind::NotListed);
}

TEST(FindPluginFile, ANameIsNeverReadPastTheRecordsArray) {
  FakeDataHandler handler;
  handler.AddUnterminatedFile();
  handler.AddFile("Update.esm", 1);
  EXPECT_EQ(FindPluginFileIn(handler.get(), std::string(260, 'a')).kind, Kind::NotListed);
  EXPECT_EQ(FindPluginFileIn(handler.get(), std::string(259, 'a')).kind, Kind::NotListed);
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Update.esm"), (PluginFileSlot{Kind::Regular, 1}));
}

TEST(FindPluginFile, AListLongerThanTheLoadOrderIsWalkedToItsEnd) {
  // Hundreds of files the game knows but has not loaded, then loaded ones.
  FakeDataHandler handler;
  for (int i = 0; i < 300; ++i) handler.AddFile("Unused" + std::to_string(i) + ".esp", 0xFF);
  handler.AddFile("Late.esp", 4);
  handler.AddFile("Later.esl", 0xFE, 0x200, 0x300);
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Unused299.esp").kind, Kind::NotActive);
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Late.esp"), (PluginFileSlot{Kind::Regular, 4}));
  EXPECT_EQ(FindPluginFileIn(handler.get(), "Later.esl"), (PluginFileSlot{Kind::Light, 0x300}));
}

}  // namespace
}  // namespace qm::config
