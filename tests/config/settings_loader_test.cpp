#include "config/settings_loader.h"
#include "config/profile_section.h"
#include "config/settings_dump.h"

#include "config/config_test_support.h"

#include <gtest/gtest.h>

namespace qm::config {
namespace {

using Lines = std::vector<std::string>;
using qmtest::LogLinesOf;

PluginFileSlot NoPluginFiles(const std::string&) { return {}; }

// The log of a settings dump with every key at its default.
const Lines kDefaultDump{
    "Degradation",
    "   disabledegradation  =  0",
    "   onlyplayer  =  1",
    "   nobreakmagicdisallowenchanting  =  1",
    "   increasedurability  =  1",
    "   equipmenthealththreshold  =  0",
    "DegradationRate",
    "   weaponsword  =  3.000000",
    "   weapondagger  =  3.000000",
    "   weaponwaraxe  =  3.000000",
    "   weaponmace  =  3.000000",
    "   weapongreatsword  =  3.000000",
    "   weaponhammer  =  3.000000",
    "   weaponbattleaxe  =  3.000000",
    "   weaponbow  =  3.000000",
    "   weaponcrossbow  =  3.000000",
    "   lightarmor  =  3.000000",
    "   heavyarmor  =  3.000000",
    "   clothing  =  3.000000",
    "   defaultarmor  =  3.000000",
    "   powerattackmultiplier  =  2.000000",
    "   followermultiplier  =  1.000000",
    "   npcmultiplier  =  1.000000",
    "BreakChance",
    "   weaponsword  =  0.000000",
    "   weapondagger  =  0.000000",
    "   weaponwaraxe  =  0.000000",
    "   weaponmace  =  0.000000",
    "   weapongreatsword  =  0.000000",
    "   weaponhammer  =  0.000000",
    "   weaponbattleaxe  =  0.000000",
    "   weaponbow  =  0.000000",
    "   weaponcrossbow  =  0.000000",
    "   lightarmor  =  0.000000",
    "   heavyarmor  =  0.000000",
    "   clothing  =  0.000000",
    "   defaultarmor  =  0.000000",
    "   powerattackmultiplier  =  2.000000",
    "   followermultiplier  =  1.000000",
    "   npcmultiplier  =  1.000000",
    "DynamicTemper",
    "   disabledynamictemper  =  0",
    "   temperchance  =  40",
    "   bosstemperchance  =  80",
    "Widget",
    "   disablewidget  =  0",
    "   positionx  =  3",
    "   positiony  =  73",
    "   scale  =  100",
    "   unbreakablecolor  =  16777215",
    "   breakablecolor  =  16766720",
    "   hidepoisonname  =  0",
    "   hidewithweaponssheathed  =  0",
    "   togglekeycode  =  0",
    "   flags  =  8",
};

// The settings file of the documentation, every key at its default.
const Lines kAllDefaultsFile{
    "[Degradation]",
    "disabledegradation=false",
    "onlyplayer=true",
    "nobreakmagicdisallowenchanting=true",
    "increasedurability=true",
    "equipmenthealththreshold=0",
    "[DegradationRate]",
    "weaponsword=3.0",
    "weapondagger=3.0",
    "weaponwaraxe=3.0",
    "weaponmace=3.0",
    "weapongreatsword=3.0",
    "weaponhammer=3.0",
    "weaponbattleaxe=3.0",
    "weaponbow=3.0",
    "weaponcrossbow=3.0",
    "lightarmor=3.0",
    "heavyarmor=3.0",
    "clothing=3.0",
    "defaultarmor=3.0",
    "powerattackmultiplier=2.0",
    "followermultiplier=1.0",
    "npcmultiplier=1.0",
    "[BreakChance]",
    "weaponsword=0.0",
    "weapondagger=0.0",
    "weaponwaraxe=0.0",
    "weaponmace=0.0",
    "weapongreatsword=0.0",
    "weaponhammer=0.0",
    "weaponbattleaxe=0.0",
    "weaponbow=0.0",
    "weaponcrossbow=0.0",
    "lightarmor=0.0",
    "heavyarmor=0.0",
    "clothing=0.0",
    "defaultarmor=0.0",
    "powerattackmultiplier=2.0",
    "followermultiplier=1.0",
    "npcmultiplier=1.0",
    "[DynamicTemper]",
    "disabledynamictemper=false",
    "temperchance=40",
    "bosstemperchance=80",
    "[Widget]",
    "disablewidget=false",
    "positionx=3",
    "positiony=73",
    "scale=100",
    "unbreakablecolor=0xFFFFFF",
    "breakablecolor=0xFFD700",
    "hidepoisonname=false",
    "hidewithweaponssheathed=false",
    "togglekeycode=0",
    "flags=8",
};

class SettingsLoader : public testing::Test {
 protected:
  Lines LoadLog(const std::string& settingsPath, const std::string& noBreakPath = "") {
    return LogLinesOf([&] { LoadSettingsInto(store, settingsPath, noBreakPath, NoPluginFiles); });
  }
  ConfigStore store;
  qmtest::TempFolder folder;
};

TEST_F(SettingsLoader, AMissingFileLeavesEveryDefaultAndDumpsAllFiftyKeys) {
  EXPECT_EQ(LoadLog(folder.PathOf("absent.ini")), kDefaultDump);
  EXPECT_EQ(store.HealthThreshold, 1.0f);
}

TEST_F(SettingsLoader, AnEmptyFileAndNoPathAtAllReadAsMissing) {
  EXPECT_EQ(LoadLog(folder.WriteText("Quellmark.ini", "")), kDefaultDump);
  EXPECT_EQ(LoadLog(""), kDefaultDump);
}

TEST_F(SettingsLoader, AFileOfEveryDefaultDumpsAsNoFileDoes) {
  EXPECT_EQ(LoadLog(folder.Write("Quellmark.ini", kAllDefaultsFile)), kDefaultDump);
}

TEST_F(SettingsLoader, ValuesFromEachSectionReachTheDumpAndTheThreshold) {
  const std::string path = folder.Write(
      "Quellmark.ini", {"[degradation]", "DisableDegradation=TRUE", "EquipmentHealthThreshold=250", "[DegradationRate]",
                        "HeavyArmor=0.25", "[BreakChance]", "HeavyArmor=1.5", "[Widget]", "Scale=-1", "TemperChance=12",
                        "PositionX=abc", "[DynamicTemper]", "BossTemperChance=0x10"});
  const Lines log = LoadLog(path);
  Lines expected = kDefaultDump;
  expected[1] = "   disabledegradation  =  1";
  expected[5] = "   equipmenthealththreshold  =  250";
  expected[17] = "   heavyarmor  =  0.250000";
  expected[34] = "   heavyarmor  =  1.500000";
  expected[42] = "   temperchance  =  12";
  expected[43] = "   bosstemperchance  =  16";
  expected[46] = "   positionx  =  0";
  expected[48] = "   scale  =  -1";  // printed as signed 32-bit
  expected.insert(expected.begin(), {"PositionX : invalid argument", "   invalid stoi argument"});
  EXPECT_EQ(log, expected);
  EXPECT_EQ(store.HealthThreshold, 1.25f);
  EXPECT_EQ(store.GetWidget("Scale"), 4294967295u);
}

TEST_F(SettingsLoader, OnlyTheFirstOfRepeatedSectionsIsRead) {
  const std::string path = folder.Write("Quellmark.ini", {"[Widget]", "Scale=50", "[Widget]", "Scale=60", "Flags=1"});
  LoadLog(path);
  EXPECT_EQ(store.GetWidget("Scale"), 50u);
  EXPECT_EQ(store.GetWidget("Flags"), 8u);
}

TEST_F(SettingsLoader, TheNoBreakListIsFilledFromItsOwnFile) {
  const std::string settings = folder.Write("Quellmark.ini", {"[Widget]", "Scale=50"});
  const std::string noBreak = folder.Write("NoBreakForms.ini", {"[Update.esm]", "0x800=1", "[Other.esp]", "0x1=1"});
  LogLinesOf([&] {
    LoadSettingsInto(store, settings, noBreak, [](const std::string& name) {
      return name == "Update.esm" ? PluginFileSlot{PluginFileSlot::Kind::Regular, 1} : PluginFileSlot{};
    });
  });
  EXPECT_TRUE(store.NoBreakFormList.Contains(0x01000800));
  EXPECT_EQ(store.NoBreakFormList.Size(), 1u);
}

TEST_F(SettingsLoader, ASectionBeyondTheBufferIsCut) {
  // 0x8000 bytes hold about 2700 entries of this length; the ones past the
  // end are lost, the ones before still count.
  Lines lines{"[DynamicTemper]", "BossTemperChance=1"};
  for (int i = 0; i < 4000; ++i) lines.push_back("Filler" + std::to_string(10000 + i) + "=1");
  lines.push_back("TemperChance=1");
  const std::string path = folder.Write("Quellmark.ini", lines);
  EXPECT_EQ(ReadProfileSection("DynamicTemper", path).front(), "BossTemperChance=1");
  LoadLog(path);
  EXPECT_EQ(store.GetDynamicTemper("BossTemperChance"), 1u);
  EXPECT_EQ(store.GetDynamicTemper("TemperChance"), 40u);
}

}  // namespace
}  // namespace qm::config
