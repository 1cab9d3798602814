// The diagnostic log: where it goes, what reaches the file at which level,
// its alternative names, and the fatal-assertion reports.
#include "log/debug_log.h"
#include "platform/platform.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qm-log-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    home_ = pattern;
    ::setenv("HOME", home_.c_str(), 1);
    qm::log::LogLevel = 5;
  }
  void TearDown() override {
    qm::log::CloseLog();
    fs::remove_all(home_);
  }

  std::string LogFolder() const { return home_ + "/Documents/My Games/Skyrim Special Edition/SKSE"; }
  std::string LogPath(const std::string& suffix = "") const { return LogFolder() + "/Quellmark.log" + suffix; }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string home_;
};

TEST_F(DebugLogTest, CreatesTheFoldersAndWritesEachLineAsFormatted) {
  qm::log::OpenLog();
  qm::log::LogMessage("plain %s and %d", "text", 42);
  qm::log::LogMessage("a\ttab stays");
  qm::log::LogError("an error");
  EXPECT_EQ(Read(LogPath()), "plain text and 42\na\ttab stays\nan error\n");
}

TEST_F(DebugLogTest, LevelDecidesWhatReachesTheFileButEverythingReachesStandardOutput) {
  const auto child = qmtest::RunInChild([] {
    qm::log::OpenLog();
    qm::log::LogLevel = 2;
    qm::log::LogMessage("message at level 3");
    qm::log::LogError("error at level 0");
    qm::log::CloseLog();
  });
  EXPECT_EQ(child.output, "message at level 3\nerror at level 0\n");
  EXPECT_EQ(Read(LogPath()), "error at level 0\n");
  // A line at exactly the configured level is written.
  qmtest::RunInChild([] {
    qm::log::OpenLog();
    qm::log::LogLevel = 3;
    qm::log::LogMessage("message at level 3");
    qm::log::CloseLog();
  });
  EXPECT_EQ(Read(LogPath()), "message at level 3\n");
  // At level 0 only errors are written.
  qmtest::RunInChild([] {
    qm::log::OpenLog();
    qm::log::LogLevel = 0;
    qm::log::LogMessage("message at level 3");
    qm::log::LogError("error at level 0");
    qm::log::CloseLog();
  });
  EXPECT_EQ(Read(LogPath()), "error at level 0\n");
}

TEST_F(DebugLogTest, ALineIsCutAt8191Characters) {
  const std::string longLine(9000, 'x');
  qm::log::OpenLog();
  qm::log::LogMessage("%s", longLine.c_str());
  EXPECT_EQ(Read(LogPath()), longLine.substr(0, 8191) + "\n");
}

TEST_F(DebugLogTest, APathPastTheWindowsLimitIsCutTo259Characters) {
  // A home folder so deep that the log's path runs past 259 characters: the
  // path is cut there, as the fixed Windows path buffer cuts it, and the log
  // is the file the cut path names.
  const std::string home = home_ + "/" + std::string(220 - home_.size() - 1, 'h');
  fs::create_directories(home);
  ::setenv("HOME", home.c_str(), 1);
  qm::log::OpenLog();
  qm::log::LogMessage("deep");
  qm::log::CloseLog();
  const std::string full = home + "/Documents/My Games/Skyrim Special Edition/SKSE/Quellmark.log";
  EXPECT_EQ(Read(full.substr(0, 259)), "deep\n");
  EXPECT_EQ(full.substr(0, 259).substr(home.size()), "/Documents/My Games/Skyrim Special Edit");
}

TEST_F(DebugLogTest, IsRecreatedEmptyAtEveryStart) {
  const auto openFiles = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
  };
  const auto before = openFiles();
  qm::log::OpenLog();
  qm::log::LogMessage("first run");
  qm::log::CloseLog();
  EXPECT_EQ(openFiles(), before) << "closing the log closes its file";
  qm::log::OpenLog();
  qm::log::LogMessage("second run");
  EXPECT_EQ(Read(LogPath()), "second run\n");
}

TEST_F(DebugLogTest, LinesBeforeOpeningReachStandardOutputOnly) {
  const auto child = qmtest::RunInChild([] {
    qm::log::LogMessage("too early");
    qm::log::OpenLog();
    qm::log::LogMessage("in time");
    qm::log::CloseLog();
  });
  EXPECT_EQ(child.output, "too early\nin time\n");
  EXPECT_EQ(Read(LogPath()), "in time\n");
}

// Holds a file open for writing in another process, as a second game would.
class HeldFile : public qmtest::HoldingChild {
 public:
  explicit HeldFile(const std::string& path)
      : qmtest::HoldingChild([&path] { return qm::platform::OpenLogFile(path.c_str()) != nullptr; }) {}
  bool held() const { return holding(); }
};

TEST_F(DebugLogTest, UsesTheNameWithZeroAppendedWhileAnotherProcessWritesTheLog) {
  fs::create_directories(LogFolder());
  HeldFile other(LogPath());
  ASSERT_TRUE(other.held());
  qm::log::OpenLog();
  qm::log::LogMessage("second writer");
  EXPECT_EQ(Read(LogPath("0")), "second writer\n");
}

TEST_F(DebugLogTest, TriesTheFiveAlternativesInOrderAndThenLogsToStandardOutputOnly) {
  fs::create_directories(LogFolder());
  HeldFile main(LogPath());
  HeldFile zero(LogPath("0"));
  HeldFile one(LogPath("1"));
  {
    qm::log::OpenLog();
    qm::log::LogMessage("third writer");
    qm::log::CloseLog();
    EXPECT_EQ(Read(LogPath("2")), "third writer\n");
  }
  HeldFile two(LogPath("2"));
  HeldFile three(LogPath("3"));
  HeldFile four(LogPath("4"));
  const auto child = qmtest::RunInChild([] {
    qm::log::OpenLog();
    qm::log::LogMessage("nowhere to write");
    qm::log::CloseLog();
  });
  EXPECT_EQ(child.output, "nowhere to write\n");
  EXPECT_FALSE(fs::exists(LogPath("5")));
}

TEST_F(DebugLogTest, FatalAssertionWritesItsReportAndStopsTheProcess) {
  const auto child = qmtest::RunInChild([] {
    qm::log::OpenLog();
    qm::log::FatalAssertion("GameTypes", 558, "p");
  });
  EXPECT_TRUE(child.signaled);
  EXPECT_EQ(child.output, "Assertion failed in GameTypes (558): p\n");
  EXPECT_EQ(Read(LogPath()), "Assertion failed in GameTypes (558): p\n");
}

TEST_F(DebugLogTest, CodedAssertionPrintsThirtyTwoOrSixtyFourBitForms) {
  const auto small = qmtest::RunInChild([] { qm::log::FatalAssertionCode("F", 1, "c", -1 & 0xFFFFFFFFLL); });
  EXPECT_EQ(small.output, "Assertion failed in F (1): c (code = FFFFFFFF (-1))\n");
  const auto large = qmtest::RunInChild([] { qm::log::FatalAssertionCode("F", 2, "c", -2147467259LL); });
  EXPECT_EQ(large.output, "Assertion failed in F (2): c (code = FFFFFFFF80004005 (-2147467259))\n");
  const auto padded = qmtest::RunInChild([] { qm::log::FatalAssertionCode("F", 3, "c", 0x100000000LL); });
  EXPECT_EQ(padded.output, "Assertion failed in F (3): c (code =        100000000 (4294967296))\n");
}

TEST_F(DebugLogTest, UnknownDocumentsFolderReportsAndStops) {
  ::unsetenv("HOME");
  const auto child = qmtest::RunInChild([] { qm::log::OpenLog(); });
  EXPECT_TRUE(child.signaled);
  EXPECT_EQ(child.output,
            "SHGetFolderPath 00000005 failed (result = 80004005 lasterr = 00000002)\n"
            "Assertion failed in IDebugLog (64): SUCCEEDED(err) (code = FFFFFFFF80004005 (-2147467259))\n");
}

}  // namespace
