// Settings files that cannot be read or are far larger than any real one,
// against the real module: start-up goes on with what can be read. A folder
// stands in for an unreadable file, since a test running as root reads any
// file whatever its permissions.
#include "data_handler.h"
#include "support/engine_world.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace qmtest {
namespace {

constexpr const char* kSettingsPath = "data/SKSE/Plugins/Quellmark/Quellmark.ini";
constexpr const char* kNoBreakPath = "data/SKSE/Plugins/Quellmark/NoBreakForms.ini";
constexpr std::uint32_t kSword = 0x00012EB7;

class FaultSettingsFiles : public EngineWorld {
 protected:
  void MakeFolder(const std::string& relative) {
    std::filesystem::create_directories(std::filesystem::path(gameFolder_) / relative);
  }
  bool Logged(const std::string& line) {
    const std::vector<std::string> log = ReadLog();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
};

TEST_F(FaultSettingsFiles, ASettingsFileThatCannotBeReadLeavesTheDefaults) {
  MakeFolder(kSettingsPath);
  StartPlugin();
  // Name, "Loaded", and the dump of five sections with their fifty keys.
  EXPECT_EQ(ReadLog().size(), 2u + 5u + 50u);
  EXPECT_TRUE(Logged("   onlyplayer  =  1"));
  EXPECT_TRUE(Logged("   temperchance  =  40"));
  EXPECT_TRUE(Logged("   scale  =  100"));
  EXPECT_EQ(world().HitSource().size, 1u);
  EXPECT_EQ(world().UpdateSource().size, 1u);
}

TEST_F(FaultSettingsFiles, WithoutTheGameFolderNothingIsReadFromTheCurrentFolder) {
  // The process image's path is unknown; the current folder holds a
  // settings file where the plug-in's relative path would find it.
  const std::filesystem::path settings = std::filesystem::path(root_) / kSettingsPath;
  std::filesystem::create_directories(settings.parent_path());
  std::ofstream(settings, std::ios::binary) << "[DynamicTemper]\r\nTemperChance=7\r\n";
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(root_);
  imagePath_ = "";
  StartPlugin();
  std::filesystem::current_path(before);
  EXPECT_TRUE(Logged("   temperchance  =  40"));
}

TEST_F(FaultSettingsFiles, ANoBreakFileThatCannotBeReadProtectsNothing) {
  world().Component<gd::DataHandler>().AddPluginFile("Skyrim.esm");
  MakeFolder(kNoBreakPath);
  WriteSettings("[Degradation]\r\nOnlyPlayer=false\r\n[BreakChance]\r\nWeaponSword=100\r\n");
  gd::ActorRec& bandit = Actor("bandit");
  gd::ActorRec& guard = Actor("guard");
  Weapon(kSword);
  gd::ExtraList& sword = Wear(bandit, *forms().Find(kSword), 1.0f);
  StartPlugin();
  EXPECT_TRUE(Logged("   weaponsword  =  100.000000"));
  Hit(guard, bandit, kSword);
  EXPECT_FALSE(Holds(bandit.ref, sword));
  ASSERT_EQ(references().Removals().size(), 1u);
}

TEST_F(FaultSettingsFiles, ASectionOverThirtyTwoKilobytesIsCutAndTheNextSectionStillReads) {
  // The profile read of a section fills at most 32 KiB: what comes later in
  // the section is not seen, the section after it is read whole.
  std::string ini = "[Widget]\r\nScale=50\r\n";
  for (int i = 0; ini.size() < 40u * 1024u; ++i) {
    ini += "Unknown" + std::to_string(i) + "=" + std::string(9, '7') + "\r\n";
  }
  ini += "PositionX=10\r\n[DynamicTemper]\r\nTemperChance=12\r\n";
  WriteGameFile(kSettingsPath, ini);
  StartPlugin();
  EXPECT_TRUE(Logged("   scale  =  50"));
  EXPECT_TRUE(Logged("   positionx  =  3"));
  EXPECT_TRUE(Logged("   temperchance  =  12"));
  EXPECT_EQ(ReadLog().size(), 2u + 5u + 50u);
}

TEST_F(FaultSettingsFiles, ATenMegabyteSettingsFileIsReadSectionBySection) {
  // A small section, ten megabytes of one section, and a small one after it.
  std::string ini = "[Widget]\r\nScale=50\r\n[Filler]\r\n";
  const std::string line = "FillerKeyOfSomeLength=1234567890\r\n";
  while (ini.size() < 10u * 1024u * 1024u) ini += line;
  ini += "[DynamicTemper]\r\nTemperChance=12\r\n";
  WriteGameFile(kSettingsPath, ini);
  const auto started = std::chrono::steady_clock::now();
  StartPlugin();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_TRUE(Logged("   scale  =  50"));
  EXPECT_TRUE(Logged("   temperchance  =  12"));
  EXPECT_EQ(ReadLog().size(), 2u + 5u + 50u);
  // Start-up reads each of the five sections once: a few passes over the
  // file, about two seconds on a busy machine; a bound that only a reading
  // gone quadratic (or a sanitizer's build at its slowest) comes near.
  EXPECT_LT(seconds, 120.0);
  RecordProperty("start_up_seconds", std::to_string(seconds));
}

}  // namespace
}  // namespace qmtest
