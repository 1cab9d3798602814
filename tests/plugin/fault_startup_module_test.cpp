// Faults at start-up, against the real module: the documents folder cannot be
// found, and every name the log may take is held by another writer.
#include "support/child_process.h"
#include "support/engine_world.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qmtest {
namespace {

constexpr const char* kHolderText = "held by another writer\n";

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes the given files and holds a write lock on each; false when one of
// them could not be held.
bool WriteAndHold(const std::vector<std::string>& paths) {
  bool all = true;
  for (const std::string& path : paths) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0 || ::write(fd, kHolderText, std::strlen(kHolderText)) < 0) {
      all = false;
    }
  }
  return all;
}

// Another process that writes the given files and holds them, as a second
// game would: the plug-in's POSIX layer stands for the Windows share mode
// with record locks, which only another process can hold against it.
class OtherWriter : public HoldingChild {
 public:
  explicit OtherWriter(const std::vector<std::string>& paths)
      : HoldingChild([&paths] { return WriteAndHold(paths); }) {}
};

class FaultStartup : public EngineWorld {};

TEST_F(FaultStartup, NoDocumentsFolderWritesTheReportAndStopsTheProcess) {
  LoadPlugin(host::HostSettings{}, true);
  const ChildResult child = RunInChild([&] { host().Query(); });
  EXPECT_TRUE(child.signaled);
  const std::string first = "SHGetFolderPath 00000005 failed (result = 80004005 lasterr = ";
  const std::string second =
      "Assertion failed in IDebugLog (64): SUCCEEDED(err) (code = FFFFFFFF80004005 (-2147467259))\n";
  EXPECT_EQ(child.output.rfind(first, 0), 0u) << child.output;
  ASSERT_GE(child.output.size(), second.size());
  EXPECT_EQ(child.output.substr(child.output.size() - second.size()), second);
  // Nothing got as far as a file.
  EXPECT_FALSE(std::filesystem::exists(documentsFolder_ + "/My Games"));
}

TEST_F(FaultStartup, WithAllSixLogNamesHeldThePluginRunsAndLogsToStandardOutputOnly) {
  const std::string log = LogPath();
  std::filesystem::create_directories(std::filesystem::path(log).parent_path());
  std::vector<std::string> names{log};
  for (int i = 0; i < 5; ++i) names.push_back(log + std::to_string(i));
  OtherWriter other(names);
  ASSERT_TRUE(other.holding());

  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Weapon(0x12EB7);
  gd::ExtraList& sword = Wear(player, *forms().Find(0x12EB7), 1.5f);
  const ChildResult child = RunInChild([&] {
    LoadPlugin();
    if (!host().Query() || !host().Load()) std::_Exit(3);
    host().SendMessage(8);
    // The engine runs without a log file: the player's sword wears.
    Hit(bandit, player, 0x12EB7);
    std::fflush(stdout);
    std::_Exit(Health(sword) < 1.5f ? 0 : 4);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitCode, 0);
  EXPECT_EQ(child.output.rfind("Quellmark\nQuellmark Loaded\nDegradation\n", 0), 0u) << child.output;
  for (const std::string& name : names) EXPECT_EQ(ReadWhole(name), kHolderText) << name;
  EXPECT_FALSE(std::filesystem::exists(log + "5"));
}

}  // namespace
}  // namespace qmtest
