// The POSIX stand-ins for the Windows path, folder and file calls keep those
// calls' contracts at their edges: roots, missing separators, short buffers,
// failed look-ups and the error codes they leave.
#include "platform/platform.h"
#include "platform/posix_process_facts.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace {

// Named before the function of the same name hides the type.
using ProcessFacts = QuellmarkPosixProcessFacts;

// What the host double would tell the platform layer; null: no host double.
const ProcessFacts* hostFacts = nullptr;

}  // namespace

extern "C" __attribute__((visibility("default"))) const ProcessFacts* QuellmarkPosixProcessFacts() { return hostFacts; }

namespace qm::platform {
namespace {

namespace fs = std::filesystem;

class WindowsCallContracts : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qm-contracts-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    if (const char* home = std::getenv("HOME")) savedHome_ = home;
  }
  void TearDown() override {
    hostFacts = nullptr;
    if (savedHome_.empty()) {
      ::unsetenv("HOME");
    } else {
      ::setenv("HOME", savedHome_.c_str(), 1);
    }
    fs::remove_all(folder_);
  }

  std::string folder_;
  std::string savedHome_;
};

// A function of this program, to find its image by.
void ProgramProbe() {}

std::string Cut(std::string path, bool* changed) {
  *changed = RemoveFileSpec(path.data());
  return path.c_str();
}

TEST_F(WindowsCallContracts, RemoveFileSpecCutsTheLastPartButKeepsARoot) {
  bool changed = false;
  EXPECT_EQ(Cut("C:\\Games\\Skyrim\\SkyrimSE.exe", &changed), "C:\\Games\\Skyrim");
  EXPECT_TRUE(changed);
  EXPECT_EQ(Cut("/games/skyrim/SkyrimSE.exe", &changed), "/games/skyrim");
  EXPECT_EQ(Cut("games/skyrim\\SkyrimSE.exe", &changed), "games/skyrim");  // either separator
  EXPECT_EQ(Cut("SkyrimSE.exe", &changed), "");                            // a bare name leaves nothing
  EXPECT_TRUE(changed);
  EXPECT_EQ(Cut("/SkyrimSE.exe", &changed), "/");
  EXPECT_TRUE(changed);
  EXPECT_EQ(Cut("C:\\SkyrimSE.exe", &changed), "C:\\");
  EXPECT_TRUE(changed);
  EXPECT_EQ(Cut("/", &changed), "/");
  EXPECT_FALSE(changed);
  EXPECT_EQ(Cut("C:\\", &changed), "C:\\");
  EXPECT_FALSE(changed);
  // Only a drive's separator is a root: "ab\x" is an ordinary folder.
  EXPECT_EQ(Cut("ab\\x", &changed), "ab");
  EXPECT_EQ(Cut("", &changed), "");
  EXPECT_FALSE(changed);
  EXPECT_FALSE(RemoveFileSpec(nullptr));
}

TEST_F(WindowsCallContracts, ProcessImagePathIsCutToTheBufferAndTerminated) {
  char buffer[64];
  EXPECT_EQ(ProcessImagePath(nullptr, 64), 0u);
  EXPECT_EQ(ProcessImagePath(buffer, 0), 0u);

  // Without a host double the image is this program.
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  char whole[4096];
  EXPECT_EQ(ProcessImagePath(whole, sizeof whole), self.size());
  EXPECT_EQ(std::string(whole), self);

  const ProcessFacts facts{0x140000000, "C:\\Games\\Skyrim\\SkyrimSE.exe", nullptr};
  hostFacts = &facts;
  EXPECT_EQ(ProcessImagePath(buffer, sizeof buffer), 28u);
  EXPECT_STREQ(buffer, "C:\\Games\\Skyrim\\SkyrimSE.exe");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(ProcessImagePath(buffer, 8), 7u);
  EXPECT_STREQ(buffer, "C:\\Game");
  EXPECT_EQ(ProcessImagePath(buffer, 29), 28u);  // exactly room for the path and its NUL
  EXPECT_STREQ(buffer, "C:\\Games\\Skyrim\\SkyrimSE.exe");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(ProcessImagePath(buffer, 28), 27u);  // one short: cut, and nothing written past the size
  EXPECT_STREQ(buffer, "C:\\Games\\Skyrim\\SkyrimSE.ex");
  EXPECT_EQ(buffer[28], 'x');
  EXPECT_EQ(ProcessImageBase(), 0x140000000u);
}

TEST_F(WindowsCallContracts, WithoutAHostTheImageIsThisProgramAndNoErrorIsSet) {
  // The program's own code lies just above its load address (a library's
  // would not).
  const auto base = ProcessImageBase();
  const auto code = reinterpret_cast<std::uintptr_t>(&ProgramProbe);
  EXPECT_GT(code, base);
  EXPECT_LT(code - base, std::uintptr_t{256} << 20);
  // A thread starts with no error recorded.
  std::uint32_t fresh = 1;
  std::thread([&fresh] { fresh = LastError(); }).join();
  EXPECT_EQ(fresh, 0u);
}

TEST_F(WindowsCallContracts, SleepWaitsAtLeastItsTime) {
  const auto begun = std::chrono::steady_clock::now();
  SleepMilliseconds(20);
  EXPECT_GE(std::chrono::steady_clock::now() - begun, std::chrono::milliseconds(20));
}

TEST_F(WindowsCallContracts, DocumentsFolderFailsWithTheWindowsCodes) {
  constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005u);
  char buffer[260];

  // The host double says where the folder is, or that the look-up fails.
  const std::string documents = folder_ + "/My Documents";
  ProcessFacts facts{0, "game.exe", documents.c_str()};
  hostFacts = &facts;
  ::umask(022);
  EXPECT_EQ(DocumentsFolder(0x8005, buffer), 0);
  EXPECT_EQ(std::string(buffer), documents);
  EXPECT_TRUE(fs::is_directory(documents));  // created as CSIDL_FLAG_CREATE asks
  // Folders and files are made as Windows makes them for their owner: others may read.
  EXPECT_EQ(fs::status(documents).permissions(), fs::perms(0755));
  MakeDirectory((documents + "\\My Games").c_str());
  EXPECT_EQ(fs::status(documents + "/My Games").permissions(), fs::perms(0755));
  // Only the documents folder has a stand-in: the desktop (0) is refused with
  // or without the create flag.
  constexpr std::int32_t kInvalidArg = static_cast<std::int32_t>(0x80070057u);
  EXPECT_EQ(DocumentsFolder(0x8000, buffer), kInvalidArg);
  EXPECT_EQ(DocumentsFolder(0, buffer), kInvalidArg);
  facts.documentsFolder = nullptr;
  EXPECT_EQ(DocumentsFolder(5, buffer), kFail);
  EXPECT_EQ(LastError(), 2u);
  const std::string tooLong = "/" + std::string(259, 'd');
  facts.documentsFolder = tooLong.c_str();
  EXPECT_EQ(DocumentsFolder(5, buffer), kFail);
  EXPECT_EQ(LastError(), 206u);
  const std::string longest = "/" + std::string(258, 'd');  // 259 characters and the NUL fit
  facts.documentsFolder = longest.c_str();
  EXPECT_EQ(DocumentsFolder(5, buffer), 0);
  EXPECT_EQ(std::string(buffer), longest);

  // Without a host double: the home folder's Documents, or nothing.
  hostFacts = nullptr;
  ::setenv("HOME", folder_.c_str(), 1);
  EXPECT_EQ(DocumentsFolder(5, buffer), 0);
  EXPECT_EQ(std::string(buffer), folder_ + "/Documents");
  ::unsetenv("HOME");
  EXPECT_EQ(DocumentsFolder(5, buffer), kFail);
  EXPECT_EQ(LastError(), 2u);
}

TEST_F(WindowsCallContracts, OpenLogFileTruncatesAndReportsWhyItCannotOpen) {
  const std::string path = folder_ + "\\Quellmark.log";  // backslashes as on Windows
  ::umask(022);
  {
    std::FILE* file = OpenLogFile(path.c_str());
    ASSERT_NE(file, nullptr);
    std::fputs("an earlier run's lines", file);
    std::fclose(file);
  }
  std::FILE* again = OpenLogFile(path.c_str());
  ASSERT_NE(again, nullptr);
  std::fclose(again);
  EXPECT_EQ(fs::file_size(folder_ + "/Quellmark.log"), 0u);
  EXPECT_EQ(fs::status(folder_ + "/Quellmark.log").permissions(), fs::perms(0644));

  EXPECT_EQ(OpenLogFile((folder_ + "/absent/Quellmark.log").c_str()), nullptr);
  EXPECT_EQ(LastError(), static_cast<std::uint32_t>(ENOENT));
  // Another process writing the file: refused as a sharing violation, and
  // the descriptor opened to find out is closed again.
  {
    const std::string held = folder_ + "/held.log";
    qmtest::HoldingChild writer([&held] { return OpenLogFile(held.c_str()) != nullptr; });
    ASSERT_TRUE(writer.holding());
    const int before = ::dup(0);
    ::close(before);
    EXPECT_EQ(OpenLogFile(held.c_str()), nullptr);
    EXPECT_EQ(LastError(), 32u);
    const int after = ::dup(0);
    ::close(after);
    EXPECT_EQ(after, before);
  }
  // A device opens but cannot be emptied: no log there, and no descriptor left open.
  const int before = ::dup(0);
  ::close(before);
  EXPECT_EQ(OpenLogFile("/dev/null"), nullptr);
  const int after = ::dup(0);
  ::close(after);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace qm::platform
