// The settings the lab gives the plug-in: what the plug-in reads from them is
// what it reads from the author's file, plus onlyplayer=false and the
// overrides, whatever the file's spelling of its sections.
#include "tune_settings.h"
#include "tune_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace qm::tune {
namespace {

using Entries = std::vector<std::string>;

std::string WriteTemp(const std::string& name, const std::string& text) {
  const auto path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

TEST(TuneSettings, EverySectionReadsAsFromTheFileWithAllActorsWorn) {
  const std::string source = WriteTemp("qm-tune-source.ini",
                                       "\xEF\xBB\xBF[ degradation ]\r\nEquipmentHealthThreshold=100\r\n"
                                       "[Degradation]\r\nonlyplayer=false\r\nDisableDegradation=true\r\n"
                                       "[widget]\r\nTemperChance=5\r\n; a comment\r\n"
                                       "[BreakChance]\nWeaponSword = 7\n[BREAKCHANCE]\nWeaponSword=9\n");
  const std::string result = WriteTemp("qm-tune-result.ini", SimulationSettings(source, {}));
  EXPECT_EQ(ProfileSectionEntries("Degradation", result),
            (Entries{"onlyplayer=false", "EquipmentHealthThreshold=100"}));
  for (const char* section : kSettingsSections) {
    if (std::string(section) == "Degradation") continue;
    EXPECT_EQ(ProfileSectionEntries(section, result), ProfileSectionEntries(section, source)) << section;
  }
  EXPECT_EQ(ProfileSectionEntries("BreakChance", result), (Entries{"WeaponSword=7"}));
  // No file: the defaults, and still every actor.
  const std::string none = WriteTemp("qm-tune-none.ini", SimulationSettings("", {}));
  EXPECT_EQ(ProfileSectionEntries("Degradation", none), (Entries{"onlyplayer=false"}));
  for (const std::string& path : {source, result, none}) std::filesystem::remove(path);
}

TEST(TuneSettings, AnOverrideReplacesEveryEntryOfItsKeyWhereThePluginWouldReadIt) {
  const std::string source = WriteTemp("qm-tune-source2.ini",
                                       "[BreakChance]\nweaponsword=1\nWEAPONSWORD=2\nWeaponDagger=3\n"
                                       "[DegradationRate]\nWeaponSword=4\n[Widget]\nEquipmentHealthThreshold=50\n");
  const std::string result = WriteTemp(
      "qm-tune-result2.ini", SimulationSettings(source, {{"BreakChance", "weaponsword", "0.25"},
                                                         {"Degradation", "equipmenthealththreshold", "300"}}));
  EXPECT_EQ(ProfileSectionEntries("BreakChance", result), (Entries{"WeaponDagger=3", "weaponsword=0.25"}));
  EXPECT_EQ(ProfileSectionEntries("DegradationRate", result), (Entries{"WeaponSword=4"}));
  // The three integer sections share one reader, so the key goes from all of them.
  EXPECT_EQ(ProfileSectionEntries("Widget", result), Entries{});
  EXPECT_EQ(ProfileSectionEntries("Degradation", result),
            (Entries{"onlyplayer=false", "equipmenthealththreshold=300"}));
  for (const std::string& path : {source, result}) std::filesystem::remove(path);
}

}  // namespace
}  // namespace qm::tune
