#include "config/settings_paths.h"
#include "game/game_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qm::config {
namespace {

// Outside the host double the process image is this test program.
std::string ProgramFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path().string(); }

TEST(SettingsPaths, TheGameFolderIsTheExecutablesFolderWithABackslash) {
  EXPECT_EQ(game::GameFolderPath(), ProgramFolder() + "\\");
}

TEST(SettingsPaths, BothFilesLieInThePluginsQuellmarkFolder) {
  ConfigStore store;
  EXPECT_EQ(SettingsFilePath(store), ProgramFolder() + "\\data\\SKSE\\Plugins\\Quellmark\\Quellmark.ini");
  EXPECT_EQ(NoBreakFilePath(store), ProgramFolder() + "\\data\\SKSE\\Plugins\\Quellmark\\NoBreakForms.ini");
}

TEST(SettingsPaths, APathIsBuiltOnceAndKept) {
  ConfigStore store;
  const std::string first = SettingsFilePath(store);
  EXPECT_EQ(store.settingsFilePath, first);
  store.settingsFilePath = "kept";
  EXPECT_EQ(SettingsFilePath(store), "kept");
  EXPECT_TRUE(store.noBreakFilePath.empty());  // each path on its own first request
}

}  // namespace
}  // namespace qm::config
