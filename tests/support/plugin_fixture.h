#pragma once
// A test that runs the real plug-in module inside a fresh game double, the
// way the game loads it. The plug-in's state is process-wide, so every test
// runs in a process of its own (ctest runs each discovered test separately).
#include "host_double.h"
#include "process_facts.h"
#include "world.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qmtest {

class PluginFixture : public ::testing::Test {
 protected:
  // Folders of this test: the game's folder and the user's documents folder.
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "qm-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    gameFolder_ = root_ + "/game";
    documentsFolder_ = root_ + "/documents";
    std::filesystem::create_directories(gameFolder_);
    std::filesystem::create_directories(documentsFolder_);
    ::setenv("QUELLMARK_SEED", "5489", 1);
    world_ = std::make_unique<gd::World>();
  }

  void TearDown() override {
    world_->End();
    for (const std::string& violation : world_->Violations()) ADD_FAILURE() << "game double: " << violation;
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // Writes a file below the game folder ("data/SKSE/Plugins/...").
  void WriteGameFile(const std::string& relative, const std::string& content) {
    const std::filesystem::path path = std::filesystem::path(gameFolder_) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }

  // Loads the module; its static initialisation reads the image base here.
  void LoadPlugin(host::HostSettings settings = {}, bool documentsLookupFails = false) {
    host::SetProcessFacts(world_->base(), imagePath_.value_or(gameFolder_ + "/SkyrimSE.exe"), documentsFolder_,
                          documentsLookupFails);
    host_ = std::make_unique<host::HostDouble>(settings);
    std::string error;
    ASSERT_TRUE(host_->LoadModule(QM_PLUGIN_PATH, &error)) << error;
  }

  // Query, Load and the data-loaded message, as the script extender sends them.
  void StartPlugin(host::HostSettings settings = {}) {
    LoadPlugin(settings);
    ASSERT_TRUE(host_->Query());
    ASSERT_TRUE(host_->Load());
    host_->SendMessage(8);
  }

  std::string LogPath() const { return documentsFolder_ + "/My Games/Skyrim Special Edition/SKSE/Quellmark.log"; }

  std::vector<std::string> ReadLog(const std::string& path) const {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  std::vector<std::string> ReadLog() const { return ReadLog(LogPath()); }

  gd::World& world() { return *world_; }
  host::HostDouble& host() { return *host_; }

  std::string root_;
  std::optional<std::string> imagePath_;  // the process image's path; unset: the game folder's SkyrimSE.exe
  std::string gameFolder_;
  std::string documentsFolder_;
  std::unique_ptr<gd::World> world_;
  std::unique_ptr<host::HostDouble> host_;
};

}  // namespace qmtest
