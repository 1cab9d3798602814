#include "config/plugin_file_index.h"
#include "config/no_break_forms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace qm::config {
namespace {

// A data handler laid out from the game's figures, byte by byte, rather than
// from the plug-in's own structures: the list's first node at +0xD60 (file
// record, next node), and each file record's name at +0x58.
class FakeDataHandler {
 public:
  static constexpr std::size_t kFirstNode = 0xD60;
  static constexpr std::size_t kFileName = 0x58;

  FakeDataHandler() : object_(0xD70, 0) {}

  void AddFile(const std::string& name) {
    records_.push_back(std::vector<unsigned char>(kFileName + 260, 0));
    std::memcpy(records_.back().data() + kFileName, name.data(), name.size());
    AddNode(records_.back().data());
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
    AddFile("");
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

TEST(FindPluginFileIndex, ThePositionInTheListWithoutRegardToCase) {
  FakeDataHandler handler;
  for (const char* name : {"Skyrim.esm", "Update.esm", "Dawnguard.esm", "My Mod.esp", "Beta.esp", "Zeta.esp"}) {
    handler.AddFile(name);
  }
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Skyrim.esm"), 0);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Update.esm"), 1);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "DAWNGUARD.ESM"), 2);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "my mod.esp"), 3);
  // Names differing only in their first letter, and Z at the end of the fold.
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "zeta.esp"), 5);
}

TEST(FindPluginFileIndex, WholeNamesOnly) {
  FakeDataHandler handler;
  handler.AddFile("Skyrim.esm");
  handler.AddFile("Update.esm");
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Skyrim"), kPluginFileNotFound);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Skyrim.esm2"), kPluginFileNotFound);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Skyrim.es"), kPluginFileNotFound);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Absent.esp"), kPluginFileNotFound);
}

TEST(FindPluginFileIndex, NothingToSearch) {
  FakeDataHandler empty;
  EXPECT_EQ(FindPluginFileIndexIn(nullptr, "Skyrim.esm"), kPluginFileNotFound);
  EXPECT_EQ(FindPluginFileIndexIn(empty.get(), "Skyrim.esm"), kPluginFileNotFound);
  FakeDataHandler handler;
  handler.AddFile("");
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), ""), kPluginFileNotFound);
}

TEST(FindPluginFileIndex, ANodeWithoutAFileRecordEndsTheSearch) {
  FakeDataHandler handler;
  handler.AddFile("Skyrim.esm");
  handler.AddNode(nullptr);
  handler.AddFile("Late.esp");
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Skyrim.esm"), 0);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Late.esp"), kPluginFileNotFound);
}

TEST(FindPluginFileIndex, ANameIsNeverReadPastTheRecordsArray) {
  FakeDataHandler handler;
  handler.AddUnterminatedFile();
  handler.AddFile("Update.esm");
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), std::string(260, 'a')), kPluginFileNotFound);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), std::string(259, 'a')), kPluginFileNotFound);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "Update.esm"), 1);
}

TEST(FindPluginFileIndex, FilesBeyondTheTopBytesRangeCountAsAbsent) {
  // Position 255 would read as "not found", and 256 on would wrap onto the
  // forms of files 0, 1, ...: such files cannot be named in the list.
  FakeDataHandler handler;
  for (int i = 0; i < 300; ++i) handler.AddFile("File" + std::to_string(i) + ".esp");
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "File0.esp"), 0);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "File254.esp"), 254);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "File255.esp"), kPluginFileNotFound);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "File256.esp"), kPluginFileNotFound);
  EXPECT_EQ(FindPluginFileIndexIn(handler.get(), "File299.esp"), kPluginFileNotFound);
}

}  // namespace
}  // namespace qm::config
