#include "config/no_break_forms.h"

#include "config/config_test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>

namespace qm::config {
namespace {

using Lines = std::vector<std::string>;
using qmtest::LogLinesOf;

FormIdSet AddedFrom(const Lines& entries, std::uint8_t position = 2) {
  FormIdSet list;
  AddNoBreakEntries("Dawnguard.esm", position, entries, list);
  return list;
}

TEST(NoBreakEntries, AnEntryCountsOnlyWhenItsFlagReadsAsOne) {
  const FormIdSet list =
      AddedFrom({"0x12EB7=1", "0x12EB8=0", "0x12EB9=+1", "0x12EBA=01", "0x12EBB=1 ; note", "0x12EBC=true", "0x12EBD=2",
                 "0x12EBE=", "0x12EBF=11", "0x12EC0= 1", "0x12EC1=0x1", "0x12EC2=1=1", "0x12EC3=1a"});
  EXPECT_TRUE(list.Contains(0x02012EB7));
  EXPECT_FALSE(list.Contains(0x02012EB8));
  EXPECT_TRUE(list.Contains(0x02012EB9));
  EXPECT_TRUE(list.Contains(0x02012EBA));
  EXPECT_TRUE(list.Contains(0x02012EBB));
  EXPECT_FALSE(list.Contains(0x02012EBC));
  EXPECT_FALSE(list.Contains(0x02012EBD));
  EXPECT_FALSE(list.Contains(0x02012EBE));
  EXPECT_FALSE(list.Contains(0x02012EBF));
  EXPECT_TRUE(list.Contains(0x02012EC0));
  EXPECT_FALSE(list.Contains(0x02012EC1));
  EXPECT_FALSE(list.Contains(0x02012EC2));
  EXPECT_TRUE(list.Contains(0x02012EC3)) << "read in base 10, the letters after the 1 are left over";
  EXPECT_EQ(list.Size(), 6u);
}

TEST(NoBreakEntries, FormIdsReadAsTheCLibraryDoesWithBaseZero) {
  const FormIdSet list = AddedFrom({"12EB7=1", "012EB7=1", "0x800=1", "0X801=1", "2048=1"}, 0);
  EXPECT_TRUE(list.Contains(12));  // decimal, stops at the E
  EXPECT_TRUE(list.Contains(10));  // octal 012
  EXPECT_FALSE(list.Contains(0x12EB7));
  EXPECT_TRUE(list.Contains(0x800));
  EXPECT_TRUE(list.Contains(0x801));
  EXPECT_EQ(list.Size(), 4u);  // 2048 is 0x800 again
}

TEST(NoBreakEntries, ThePositionIsAddedNotOred) {
  EXPECT_TRUE(AddedFrom({"0x01000800=1"}, 3).Contains(0x04000800));
  EXPECT_TRUE(AddedFrom({"0x800=1"}, 2).Contains(0x02000800));
  // A negative formid wraps modulo 2^32.
  EXPECT_TRUE(AddedFrom({"-1=1"}, 1).Contains(0x00FFFFFF));
}

TEST(NoBreakEntries, AnUnreadableFormIdIsReportedUnderTheFileNameAndAddsFormZero) {
  FormIdSet list;
  const Lines log = LogLinesOf([&] { list = AddedFrom({"xyz=1", "0x100000000=1"}, 2); });
  EXPECT_EQ(log, (Lines{"Dawnguard.esm : invalid argument", "   invalid stoi argument", "Dawnguard.esm : out of range",
                        "   stoi argument out of range"}));
  EXPECT_TRUE(list.Contains(0x02000000));
  EXPECT_EQ(list.Size(), 1u);
}

TEST(NoBreakEntries, MalformedEntriesAreSkippedSilently) {
  FormIdSet list;
  const Lines log = LogLinesOf([&] { list = AddedFrom({"", "0x800", "0x800=1=1", "0x800=", "abc=0", "0x800==1"}); });
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(list.Size(), 0u);
}

class NoBreakFile : public testing::Test {
 protected:
  // The game's plug-in files, found without regard to case.
  std::map<std::string, std::uint8_t> loadOrder{{"skyrim.esm", 0}, {"update.esm", 1}, {"dawnguard.esm", 2}};
  PluginFileIndexLookup lookup = [this](const std::string& name) {
    const auto it = loadOrder.find(FoldToLowerForTest(name));
    return it != loadOrder.end() ? it->second : kPluginFileNotFound;
  };
  static std::string FoldToLowerForTest(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  }
  qmtest::TempFolder folder;
};

TEST_F(NoBreakFile, SectionsOfListedFilesAddTheirForms) {
  const std::string path = folder.Write("NoBreakForms.ini", {"[DAWNGUARD.ESM]", "0x800=1", "[Unknown.esp]", "0x900=1",
                                                             "xyz=1", "[Update.esm]", "0x12EB7=1", "0x12EB8=0"});
  FormIdSet list;
  const Lines log = LogLinesOf([&] {
    LoadNoBreakForms({"DAWNGUARD.ESM", "Unknown.esp", "Update.esm"}, path, lookup, list);
  });
  EXPECT_TRUE(log.empty());  // the unknown file's section is not even read
  EXPECT_TRUE(list.Contains(0x02000800));
  EXPECT_TRUE(list.Contains(0x01012EB7));
  EXPECT_FALSE(list.Contains(0x01012EB8));
  EXPECT_EQ(list.Size(), 2u);
}

TEST_F(NoBreakFile, AMissingFileAddsNothing) {
  FormIdSet list;
  LoadNoBreakForms({"Update.esm"}, folder.PathOf("absent.ini"), lookup, list);
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_FALSE(list.Contains(0x01000000));
}

}  // namespace
}  // namespace qm::config
