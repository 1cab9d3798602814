#include "config/no_break_forms.h"

#include "config/config_test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>

namespace qm::config {
namespace {

using Lines = std::vector<std::string>;
using qmtest::LogLinesOf;

using Kind = PluginFileSlot::Kind;

FormIdSet AddedFrom(const Lines& entries, std::uint16_t index = 2, Kind kind = Kind::Regular) {
  FormIdSet list;
  AddNoBreakEntries("Dawnguard.esm", {kind, index}, entries, list);
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

TEST(NoBreakEntries, TheLoadOrderIndexIsAddedNotOred) {
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

TEST(NoBreakEntries, ALightFilesFormsTakeTopByteFELightIndexAndTwelveBitsOfTheirOwn) {
  EXPECT_EQ(FormIdInFile({Kind::Light, 0x123}, 0x801), 0xFE123801u);
  EXPECT_EQ(FormIdInFile({Kind::Light, 0x123}, 0), 0xFE123000u);
  EXPECT_EQ(FormIdInFile({Kind::Light, 0}, 0xFFF), 0xFE000FFFu);
  EXPECT_EQ(FormIdInFile({Kind::Light, 0xFFF}, 0x800), 0xFEFFF800u);
  // Beyond 12 bits a formid names no form of a light file, whether or not
  // its upper bits happen to match the light index.
  EXPECT_EQ(FormIdInFile({Kind::Light, 0x123}, 0x1000), std::nullopt);
  EXPECT_EQ(FormIdInFile({Kind::Light, 0x123}, 0x123801), std::nullopt);
  EXPECT_EQ(FormIdInFile({Kind::Light, 0x123}, 0xFE123801), std::nullopt);
  EXPECT_EQ(FormIdInFile({Kind::Light, 0x123}, 0xFFFFFFFF), std::nullopt);
  // A light index that does not fit its 12 bits, and files without forms.
  EXPECT_EQ(FormIdInFile({Kind::Light, 0x1000}, 0x801), std::nullopt);
  EXPECT_EQ(FormIdInFile({Kind::NotActive, 0}, 0x801), std::nullopt);
  EXPECT_EQ(FormIdInFile({Kind::NotListed, 0}, 0x801), std::nullopt);
  EXPECT_EQ(FormIdInFile({Kind::Regular, 0xFE}, 0x801), 0xFE000801u);
}

TEST(NoBreakEntries, ALightFilesEntryBeyondItsFormsIsLoggedAndProtectsNothing) {
  FormIdSet list;
  const Lines log = LogLinesOf([&] {
    list = AddedFrom({"0x801=1", "0x1801=1", "-1=1", "xyz=1", "0x802=0"}, 0x12, Kind::Light);
  });
  EXPECT_EQ(log, (Lines{"Dawnguard.esm : 0x1801 is beyond a light file's forms (0x000 to 0xFFF), not protected",
                        "Dawnguard.esm : 0xFFFFFFFF is beyond a light file's forms (0x000 to 0xFFF), not protected",
                        "Dawnguard.esm : invalid argument", "   invalid stoi argument"}));
  EXPECT_TRUE(list.Contains(0xFE012801));
  EXPECT_TRUE(list.Contains(0xFE012000)) << "an unreadable formid still adds the file's form 0";
  EXPECT_EQ(list.Size(), 2u);
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
  std::map<std::string, PluginFileSlot> files{
      {"skyrim.esm", {Kind::Regular, 0}},   {"update.esm", {Kind::Regular, 1}}, {"dawnguard.esm", {Kind::Regular, 2}},
      {"unused.esp", {Kind::NotActive, 0}}, {"small.esl", {Kind::Light, 0x7}},  {"broken.esl", {Kind::Light, 0x1000}}};
  PluginFileLookup lookup = [this](const std::string& name) {
    const auto it = files.find(FoldToLowerForTest(name));
    return it != files.end() ? it->second : PluginFileSlot{};
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

TEST_F(NoBreakFile, ASectionOfAFileTheGameHasNotLoadedIsLoggedOnceAndNotRead) {
  const std::string path =
      folder.Write("NoBreakForms.ini", {"[Unused.esp]", "0x800=1", "xyz=1", "0x801=1", "[Small.esl]", "0x800=1",
                                        "[Broken.esl]", "0x800=1", "[Skyrim.esm]", "0x800=1"});
  FormIdSet list;
  const Lines log = LogLinesOf([&] {
    LoadNoBreakForms({"Broken.esl", "Skyrim.esm", "Small.esl", "Unused.esp"}, path, lookup, list);
  });
  EXPECT_EQ(log, (Lines{"Broken.esl : not active, none of its forms is protected",
                        "Unused.esp : not active, none of its forms is protected"}));
  EXPECT_TRUE(list.Contains(0x00000800));
  EXPECT_TRUE(list.Contains(0xFE007800));
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
